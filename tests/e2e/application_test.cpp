// The whole application, started through its real start-up path and used as a
// user would: the splash, a click, a calculator, typed words, the options
// panel, the preferences window, Quit, and the preferences file in between.
#include "app/ShellFixture.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/RadioButton.h"
#include "framework/gui/StaticText.h"
#include "prefs/PrefSchema.h"
#include "support/OptionValues.h"
#include "windows/prefsWindow.h"

#include <QFile>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// The file's lines below the four header lines and above the two closing ones.
std::vector<std::string> BodyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    if (lines.size() < 6) {
        return {};
    }
    return {lines.begin() + 4, lines.end() - 2};
}

const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n"
                      "<dict>\n";

} // namespace

class Application : public Shell {
protected:
    std::string PrefsPath() const { return prefs::PrefsFile().AbsolutePath(); }

    // A second run of the application in this process.
    void Restart() {
        system.reset();
        static int argc = 0;
        system = std::make_unique<StartUp>(argc, nullptr, [this] {
            auto made = std::make_unique<RecordingApp>();
            app = made.get();
            return made;
        });
    }

    static void ClickSplash() {
        QTest::mouseClick(Splash()->Content(), Qt::LeftButton, {}, QPoint(40, 300));
    }

    static void Type(TalloCalc* calc, const char* text) {
        auto* field = calc->FindControl<fw::EditField>("tbox_Word");
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    static std::vector<std::pair<std::string, std::string>> Rows(TalloCalc* calc) {
        auto* list = calc->FindControl<fw::Listbox>("lbox_wordValue");
        std::vector<std::pair<std::string, std::string>> rows;
        for (int row = 0; row < list->RowCount(); ++row) {
            rows.emplace_back(list->Cell(row, 0), list->Cell(row, 1));
        }
        return rows;
    }

    static fw::RadioButton* TileMode(fw::Window* window, int index) {
        return window->FindControl<fw::RadioButton>("rb_alphabet", index);
    }

    // "Preferences..." as chosen from the menu; the window it shows.
    prefsWindow* OpenPreferences() {
        Choose("PrefMenu");
        return fw::SingleInstance<prefsWindow>::Current();
    }
};

TEST_F(Application, FirstRunListsAWordThenQuitWritesTheDefaultsAndTheVersion) {
    ASSERT_FALSE(QFile::exists(QString::fromStdString(PrefsPath())));
    const std::time_t before = std::time(nullptr);
    EXPECT_EQ(Run([this] {
                  EXPECT_EQ(OptionValuesInTableOrder(*app),
                            (std::vector<bool>{true, true, false, true, true, true, false, true}));
                  ClickSplash();
                  TalloCalc* calc = CalculatorTitled("Tallorix 1");
                  ASSERT_NE(calc, nullptr);

                  Type(calc, "quiz");
                  EXPECT_EQ(Rows(calc),
                            (std::vector<std::pair<std::string, std::string>>{{"QUIZ", "22"}}));
                  EXPECT_EQ(calc->FindControl<fw::EditField>("tbox_Word")->Text(), "");
                  EXPECT_TRUE(calc->FindControl<fw::PushButton>("btn_clearList")->Enabled());

                  // Sixteen letters: both messages, nothing listed.
                  Type(calc, "abcdefghijklmnopq");
                  auto* message = calc->FindControl<fw::StaticText>("lbl_error");
                  EXPECT_TRUE(message->Visible());
                  EXPECT_EQ(message->Text(), "ABCDEFGHIJKLMNOPQ:Quadrelle boards are only 15 "
                                             "spaces across. ");
                  EXPECT_EQ(Rows(calc).size(), 1U);

                  // The options panel opens and closes the window's lower part.
                  auto* triangle = calc->FindControl<fw::DisclosureTriangle>("dt_Options");
                  QTest::mouseClick(triangle, Qt::LeftButton);
                  EXPECT_EQ(calc->Height(), 551);
                  EXPECT_TRUE(calc->FindControl("cb_specialSpaces")->Visible());
                  QTest::mouseClick(calc->FindControl<fw::CheckBox>("cb_specialSpaces"),
                                    Qt::LeftButton);
                  // The rejected word is still in the field: select it and type over it.
                  QTest::keyClick(calc->FindControl<fw::EditField>("tbox_Word"), Qt::Key_A,
                                  Qt::ControlModifier);
                  Type(calc, "qi");
                  EXPECT_EQ(Rows(calc).size(), 1U + 7U); // QI's seven distinct placements
                  QTest::mouseClick(triangle, Qt::LeftButton);
                  EXPECT_EQ(calc->Height(), 369);

                  // A window's own options never become the defaults.
                  EXPECT_FALSE(app->prefEnableSpecialSpaces);
                  Choose("FileQuit");
              }),
              0);
    EXPECT_EQ(app->closes, 1);

    const std::string text = ReadFile(PrefsPath());
    EXPECT_EQ(text.substr(0, std::string(kHeader).size()), kHeader);
    const std::vector<std::string> body = BodyLines(text);
    const std::vector<std::string> expected = {
        "\t<key>CenterSquareDouble</key>",
        "\t<true/>",
        "\t<key>EnableBlanks</key>",
        "\t<true/>",
        "\t<key>EnableSpecialSpaces</key>",
        "\t<false/>",
        "\t<key>EnforceWordLength</key>",
        "\t<true/>",
        "\t<key>EnforceConstraints</key>",
        "\t<true/>",
        "\t<key>OnlyUniqueScores</key>",
        "\t<true/>",
        "\t<key>ContrainCombined</key>",
        "\t<false/>",
        "\t<key>ContrainIndividual</key>",
        "\t<true/>",
        "\t<key>Version</key>",
        "\t<dict>",
        "\t\t<key>Schema</key>",
        "\t\t<string>1</string>",
        "\t\t<key>LastUpdated</key>",
    };
    ASSERT_EQ(body.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + expected.size()), expected);
    EXPECT_EQ(body.back(), "\t</dict>");

    // The moment of the save, in universal time.
    std::smatch date;
    const std::string& stamp = body[expected.size()];
    ASSERT_TRUE(std::regex_match(
        stamp, date, std::regex(R"(\t\t<date>(\d+)-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)Z</date>)")))
        << stamp;
    std::tm fields{};
    fields.tm_year = std::stoi(date[1]) - 1900;
    fields.tm_mon = std::stoi(date[2]) - 1;
    fields.tm_mday = std::stoi(date[3]);
    fields.tm_hour = std::stoi(date[4]);
    fields.tm_min = std::stoi(date[5]);
    fields.tm_sec = std::stoi(date[6]);
    const std::time_t saved = timegm(&fields);
    EXPECT_GE(saved, before);
    EXPECT_LE(saved, std::time(nullptr));
}

TEST_F(Application, CombinedWordsConfirmedWithOkReachesTheNextWindowAndTheNextRun) {
    Run([this] {
        ClickSplash();
        TalloCalc* first = CalculatorTitled("Tallorix 1");
        prefsWindow* window = OpenPreferences();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(TileMode(window, 1), Qt::LeftButton);
        QTest::mouseClick(window->FindControl<fw::CheckBox>("cb_specialSpaces"), Qt::LeftButton);
        QTest::mouseClick(window->FindControl<fw::PushButton>("btn_OK"), Qt::LeftButton);
        EXPECT_EQ(fw::SingleInstance<prefsWindow>::Current(), nullptr);
        EXPECT_TRUE(app->prefConstrainCombined);
        EXPECT_FALSE(app->prefConstrainIndividual);

        // The file is written at once.
        const std::string saved = ReadFile(PrefsPath());
        EXPECT_NE(saved.find("<key>ContrainCombined</key>\n\t<true/>"), std::string::npos);

        // The open window keeps its own options.
        EXPECT_TRUE(TileMode(first, 0)->Value());
        EXPECT_FALSE(first->FindControl<fw::CheckBox>("cb_specialSpaces")->Value());

        Choose("FileNewCalc");
        TalloCalc* second = CalculatorTitled("Tallorix 2");
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(TileMode(second, 1)->Value());
        EXPECT_FALSE(TileMode(second, 0)->Value());
        auto* wordLength = second->FindControl<fw::CheckBox>("cb_wordLength");
        EXPECT_TRUE(wordLength->Value());
        EXPECT_FALSE(wordLength->Enabled());

        // In the Combined words mode each word draws on what the earlier ones
        // left: the second QUIZ takes both blanks, the third finds none.
        second->FindControl<fw::CheckBox>("cb_specialSpaces")->SetValue(false);
        Type(second, "quiz");
        Type(second, "quiz");
        Type(second, "quiz");
        EXPECT_EQ(Rows(second), (std::vector<std::pair<std::string, std::string>>{{"QUIZ", "22"},
                                                                                  {"_UI_", "2"}}));
        EXPECT_EQ(second->FindControl<fw::StaticText>("lbl_error")->Text(),
                  "QUIZ:Tile count violation. ");
    });

    Restart();
    Run([this] {
        EXPECT_TRUE(app->prefConstrainCombined);
        EXPECT_FALSE(app->prefConstrainIndividual);
        EXPECT_TRUE(app->prefEnableSpecialSpaces);
        ClickSplash();
        EXPECT_TRUE(TileMode(CalculatorTitled("Tallorix 1"), 1)->Value());
    });
}

TEST_F(Application, CancelChangesNeitherTheDefaultsNorTheFile) {
    Run([this] { Choose("FileQuit"); });
    const std::string before = ReadFile(PrefsPath());
    ASSERT_FALSE(before.empty());

    Restart();
    Run([this, &before] {
        const std::vector<bool> loaded = OptionValuesInTableOrder(*app);
        ClickSplash();
        prefsWindow* window = OpenPreferences();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window->FindControl<fw::CheckBox>("cb_blankTiles"), Qt::LeftButton);
        QTest::mouseClick(TileMode(window, 1), Qt::LeftButton);
        QTest::mouseClick(window->FindControl<fw::PushButton>("btn_Cancel"), Qt::LeftButton);
        EXPECT_EQ(OptionValuesInTableOrder(*app), loaded);
        EXPECT_EQ(ReadFile(PrefsPath()), before);

        // A new window shows the stored values again.
        window = OpenPreferences();
        EXPECT_TRUE(window->FindControl<fw::CheckBox>("cb_blankTiles")->Value());
        EXPECT_TRUE(TileMode(window, 0)->Value());
    });
}

TEST_F(Application, BothTileModesInTheFileLeaveCombinedWordsAndAreWrittenBackCorrected) {
    WriteFile(PrefsPath(), std::string(kHeader) + "\t<key>ContrainCombined</key>\n\t<true/>\n"
                                                  "\t<key>ContrainIndividual</key>\n\t<true/>\n"
                                                  "</dict>\n</plist>\n");
    Run([this] {
        EXPECT_TRUE(app->prefConstrainCombined);
        EXPECT_FALSE(app->prefConstrainIndividual);
        ClickSplash();
        TalloCalc* calc = CalculatorTitled("Tallorix 1");
        EXPECT_TRUE(TileMode(calc, 1)->Value());
        EXPECT_FALSE(TileMode(calc, 0)->Value());
    });
    const std::vector<std::string> body = BodyLines(ReadFile(PrefsPath()));
    ASSERT_GE(body.size(), 4U);
    EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + 4),
              (std::vector<std::string>{"\t<key>ContrainCombined</key>", "\t<true/>",
                                        "\t<key>ContrainIndividual</key>", "\t<false/>"}));
}

TEST_F(Application, EntriesOfOthersAreWrittenBackUnchanged) {
    const std::string others = "\t<key>WindowFrames</key>\n"
                               "\t<dict>\n"
                               "\t\t<key>Main</key>\n"
                               "\t\t<string>0 0 400 300 &amp; more</string>\n"
                               "\t\t<key>Recent</key>\n"
                               "\t\t<array>\n"
                               "\t\t\t<integer>-7</integer>\n"
                               "\t\t\t<dict>\n"
                               "\t\t\t\t<key>Nested</key>\n"
                               "\t\t\t\t<real>2.5</real>\n"
                               "\t\t\t</dict>\n"
                               "\t\t\t<array/>\n"
                               "\t\t</array>\n"
                               "\t</dict>\n"
                               "\t<key>Note</key>\n"
                               "\t<string>a &lt;b&gt; c</string>\n";
    WriteFile(PrefsPath(), std::string(kHeader) + others +
                               "\t<key>EnableBlanks</key>\n\t<false/>\n</dict>\n</plist>\n");
    Run([this] {
        EXPECT_FALSE(app->prefEnableBlanks);
        Choose("FileQuit");
    });
    const std::string text = ReadFile(PrefsPath());
    EXPECT_EQ(text.substr(0, std::string(kHeader).size() + others.size()),
              std::string(kHeader) + others);
    // The file's own key keeps its place; the missing ones follow in table order.
    const std::vector<std::string> body = BodyLines(text);
    const std::size_t firstOwn = std::count(others.begin(), others.end(), '\n');
    ASSERT_GT(body.size(), firstOwn + 4);
    EXPECT_EQ(body[firstOwn], "\t<key>EnableBlanks</key>");
    EXPECT_EQ(body[firstOwn + 1], "\t<false/>");
    EXPECT_EQ(body[firstOwn + 2], "\t<key>CenterSquareDouble</key>");
}

TEST_F(Application, AFolderThatCantBeWrittenLeavesTheApplicationWorking) {
    // A preferences folder below a regular file can never be created.
    const std::string blocker = home.filePath(QStringLiteral("blocker")).toStdString();
    WriteFile(blocker, "not a folder");
    preferences.Use(blocker + "/config");
    Restart();
    EXPECT_EQ(Run([this] {
                  ClickSplash();
                  TalloCalc* calc = CalculatorTitled("Tallorix 1");
                  ASSERT_NE(calc, nullptr);
                  prefsWindow* window = OpenPreferences();
                  QTest::mouseClick(window->FindControl<fw::CheckBox>("cb_specialSpaces"),
                                    Qt::LeftButton);
                  QTest::mouseClick(window->FindControl<fw::PushButton>("btn_OK"), Qt::LeftButton);
                  EXPECT_TRUE(app->prefEnableSpecialSpaces);
                  // The user is told; the window waits for another try or Cancel.
                  ASSERT_EQ(messages.size(), 1u);
                  EXPECT_NE(messages[0].find("preferences could not be saved"), std::string::npos);
                  ASSERT_EQ(fw::SingleInstance<prefsWindow>::Current(), window);
                  QTest::mouseClick(window->FindControl<fw::PushButton>("btn_Cancel"),
                                    Qt::LeftButton);
                  Type(calc, "cat");
                  EXPECT_EQ(Rows(calc).size(), 1U);
                  Choose("FileNewCalc");
                  EXPECT_TRUE(CalculatorTitled("Tallorix 2")
                                  ->FindControl<fw::CheckBox>("cb_specialSpaces")
                                  ->Value());
              }),
              1); // the save at Quit failed
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
    // Quitting tried again, and told the user before the application went.
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], messages[0]);
}
