#include "PrefsTestSupport.h"
#include "app/App.h"
#include "app/MenuBar1.h"
#include "app/StartUp.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/RadioButton.h"
#include "framework/gui/SingleInstance.h"
#include "framework/gui/TabPanel.h"
#include "support/OptionValues.h"
#include "windows/SplashScreen.h"
#include "windows/TalloCalc.h"
#include "windows/prefsWindow.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

std::vector<bool> Shown(const prefsWindow& window) {
    std::vector<bool> values;
    for (const prefs::Option& option : prefs::kOptions) {
        values.push_back(
            window.FindControl<fw::ValueControl>(std::string(option.control), option.index)
                ->Value());
    }
    return values;
}

void Activate(fw::Window* window) {
    window->Show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}

void Flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The whole application with its preferences folder in a temporary place.
class PrefsWindowTest : public PrefsFolderTest {
protected:
    void SetUp() override {
        PrefsFolderTest::SetUp();
        static int argc = 0;
        fw::SetMsgBoxCatcher([this](const std::string& text) { messages.push_back(text); });
        system_ = std::make_unique<StartUp>(argc, nullptr);
        app = App::instance();
        ASSERT_NE(app, nullptr);
        // Past the splash, which leaves only Quit to the menus while it shows.
        ASSERT_NE(Splash(), nullptr);
        Splash()->startUp();
    }

    static SplashScreen* Splash() { return fw::SingleInstance<SplashScreen>::Current(); }
    void TearDown() override {
        system_.reset();
        fw::SetMsgBoxCatcher(nullptr);
    }

    prefsWindow* Current() const { return fw::SingleInstance<prefsWindow>::Current(); }
    void ChoosePreferences() const { MenuBar1::instance()->Item("PrefMenu")->Action()->trigger(); }

    App* app = nullptr;
    std::vector<std::string> messages; // the message boxes shown, in order

private:
    std::unique_ptr<StartUp> system_;
};

const std::vector<bool> kDefaults = {true, true, false, true, true, true, false, true};

} // namespace

// Both windows show each option as the option table describes it; only the
// preferences window leaves out the word-length help.
TEST_F(PrefsWindowTest, BothWindowsShowEveryOptionWithTheTablesCaptionAndHelp) {
    app->loadPrefs();
    ChoosePreferences();
    fw::Window* calc = fw::NewWindow<TalloCalc>();
    for (const prefs::Option& option : prefs::kOptions) {
        const std::string name(option.control);
        for (fw::Window* window : {static_cast<fw::Window*>(Current()), calc}) {
            const auto* control = window->FindControl<fw::ValueControl>(name, option.index);
            ASSERT_NE(control, nullptr) << name;
            EXPECT_EQ(control->Caption(), option.caption) << name;
            QString help = QString::fromUtf8(option.help.data(), option.help.size());
            help.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            if (window != calc && name == "cb_wordLength") {
                help.clear();
            }
            EXPECT_EQ(control->Widget()->toolTip(), help) << name;
        }
    }
    calc->Close();
}

TEST_F(PrefsWindowTest, OpensShowingTheApplicationsValuesOnItsOneTab) {
    app->loadPrefs();
    ChoosePreferences();
    prefsWindow* window = Current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Title(), "Tallorix Preferences");
    EXPECT_EQ(Shown(*window), kDefaults);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);

    // The options and the note sit on the tab, the buttons below it, and
    // the keyboard walks them in the order they were made.
    auto* page = window->FindControl<fw::TabPanel>("TabPanel1")->ContentWidget(0);
    EXPECT_EQ(window->FindControl("cb_centerSquare")->Widget()->parentWidget(), page);
    EXPECT_EQ(window->FindControl("StaticText3")->Widget()->parentWidget(), page);
    EXPECT_NE(window->FindControl("btn_OK")->Widget()->parentWidget(), page);
    std::vector<std::string> chain;
    for (QWidget* w = window->FindControl("cb_specialSpaces")->Widget(); chain.size() < 10;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            chain.push_back(w->objectName().toStdString());
        }
    }
    EXPECT_EQ(chain, (std::vector<std::string>{"cb_specialSpaces", "cb_wordLength", "cb_alphabet",
                                               "rb_alphabet", "rb_alphabet", "cb_blankTiles",
                                               "cb_uniqueScores", "cb_centerSquare", "btn_OK",
                                               "btn_Cancel"}));

    // Unchecking a box ties nothing else to it.
    window->FindControl<fw::CheckBox>("cb_alphabet")->SetValue(false);
    window->FindControl<fw::CheckBox>("cb_specialSpaces")->SetValue(false);
    for (const prefs::Option& option : prefs::kOptions) {
        EXPECT_TRUE(window->FindControl(std::string(option.control), option.index)->Enabled())
            << option.control;
    }
}

TEST_F(PrefsWindowTest, BothTileModesOffShowNeitherSelectedAndOkStoresThat) {
    app->loadPrefs();
    app->prefConstrainIndividual = false;
    app->prefConstrainCombined = false;
    prefsWindow& window = prefsWindow::instance();
    EXPECT_FALSE(window.FindControl<fw::RadioButton>("rb_alphabet", 0)->Value());
    EXPECT_FALSE(window.FindControl<fw::RadioButton>("rb_alphabet", 1)->Value());
    window.btn_OK_Action();
    EXPECT_FALSE(app->prefConstrainIndividual || app->prefConstrainCombined);
}

TEST_F(PrefsWindowTest, OkStoresTheControlsAndWritesTheFileAtOnce) {
    app->loadPrefs();
    ChoosePreferences();
    QPointer<prefsWindow> window = Current();
    window->FindControl<fw::CheckBox>("cb_specialSpaces")->SetValue(true);
    window->FindControl<fw::CheckBox>("cb_blankTiles")->SetValue(false);
    QTest::mouseClick(window->FindControl<fw::RadioButton>("rb_alphabet", 1), Qt::LeftButton);
    QTest::mouseClick(window->FindControl<fw::PushButton>("btn_OK"), Qt::LeftButton);

    const std::vector<bool> chosen = {true, false, true, true, true, true, true, false};
    EXPECT_EQ(OptionValuesInTableOrder(*app), chosen);
    EXPECT_TRUE(window->IsClosed());
    EXPECT_EQ(Current(), nullptr);
    const std::string saved = ReadPrefsFile();
    EXPECT_NE(saved.find(Bool("EnableBlanks", false) + Bool("EnableSpecialSpaces", true)),
              std::string::npos);
    EXPECT_NE(saved.find(Bool("ContrainCombined", true) + Bool("ContrainIndividual", false)),
              std::string::npos);
    EXPECT_NE(saved.find("<key>LastUpdated</key>"), std::string::npos);

    // The next window shows what was stored, and so does the next run.
    Flush();
    ChoosePreferences();
    ASSERT_NE(Current(), nullptr);
    EXPECT_NE(Current(), window.data());
    EXPECT_EQ(Shown(*Current()), chosen);
    app->loadPrefs();
    EXPECT_EQ(OptionValuesInTableOrder(*app), chosen);
}

TEST_F(PrefsWindowTest, ReturnPressesOkAndEscapePressesCancel) {
    app->loadPrefs();
    prefsWindow& first = prefsWindow::instance();
    Activate(&first);
    first.FindControl<fw::CheckBox>("cb_uniqueScores")->SetValue(false);
    QTest::keyClick(&first, Qt::Key_Return);
    EXPECT_FALSE(app->prefOnlyUniqueScores);
    EXPECT_TRUE(first.IsClosed());
    const std::string stored = ReadPrefsFileUndated();
    Flush();

    prefsWindow& second = prefsWindow::instance();
    Activate(&second);
    second.FindControl<fw::CheckBox>("cb_uniqueScores")->SetValue(true);
    second.FindControl<fw::CheckBox>("cb_centerSquare")->SetValue(false);
    QTest::keyClick(&second, Qt::Key_Escape);
    EXPECT_TRUE(second.IsClosed());
    EXPECT_FALSE(app->prefOnlyUniqueScores);
    EXPECT_TRUE(app->prefCenterSquareDouble);
    EXPECT_EQ(ReadPrefsFileUndated(), stored);
}

TEST_F(PrefsWindowTest, CancelChangesNeitherTheApplicationNorTheFile) {
    app->loadPrefs();
    ChoosePreferences();
    prefsWindow* window = Current();
    for (const prefs::Option& option : prefs::kOptions) {
        if (option.index < 0) {
            auto* box = window->FindControl<fw::CheckBox>(std::string(option.control));
            box->SetValue(!box->Value());
        }
    }
    window->FindControl<fw::RadioButton>("rb_alphabet", 1)->SetValue(true);
    QTest::mouseClick(window->FindControl<fw::PushButton>("btn_Cancel"), Qt::LeftButton);
    EXPECT_TRUE(window->IsClosed());
    EXPECT_EQ(OptionValuesInTableOrder(*app), kDefaults);
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
    Flush();
    ChoosePreferences();
    EXPECT_EQ(Shown(*Current()), kDefaults);
}

TEST_F(PrefsWindowTest, PreferencesCommandKeepsOneWindowUntilItCloses) {
    app->loadPrefs();
    fw::Window* calculator = fw::FrontWindow();
    ASSERT_NE(calculator, nullptr);
    Activate(calculator);
    QTest::keyClick(calculator, Qt::Key_Comma, Qt::ControlModifier);
    QPointer<prefsWindow> first = Current();
    ASSERT_NE(first, nullptr);
    first->FindControl<fw::CheckBox>("cb_wordLength")->SetValue(false);

    // Again, by menu and by key from the window itself: the same window,
    // with the edits made so far.
    ChoosePreferences();
    Activate(first.data());
    QTest::keyClick(first.data(), Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(Current(), first.data());
    int open = 0;
    for (fw::Window* window : fw::OpenWindows()) {
        open += dynamic_cast<prefsWindow*>(window) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(open, 1);
    EXPECT_FALSE(first->FindControl<fw::CheckBox>("cb_wordLength")->Value());
    EXPECT_TRUE(app->prefEnforceWordLength);

    first->btn_Cancel_Action();
    Flush();
    EXPECT_TRUE(first.isNull());
    ChoosePreferences();
    ASSERT_NE(Current(), nullptr);
    EXPECT_TRUE(Current()->FindControl<fw::CheckBox>("cb_wordLength")->Value());
}

TEST_F(PrefsWindowTest, OpenLoadsAndQuitSavesWhatTheApplicationHoldsNotTheOpenWindow) {
    WritePrefsFile(Bool("EnableSpecialSpaces", true) +
                   "\t<key>Kept</key>\n\t<integer>7</integer>\n");
    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(app->prefEnableSpecialSpaces);
        ChoosePreferences();
        Current()->FindControl<fw::CheckBox>("cb_specialSpaces")->SetValue(false);
        app->Quit();
    });
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(ReadPrefsFileUndated(),
              Head() + Bool("EnableSpecialSpaces", true) +
                  "\t<key>Kept</key>\n\t<integer>7</integer>\n" + Bool("CenterSquareDouble", true) +
                  Bool("EnableBlanks", true) + Bool("EnforceWordLength", true) +
                  Bool("EnforceConstraints", true) + Bool("OnlyUniqueScores", true) +
                  Bool("ContrainCombined", false) + Bool("ContrainIndividual", true) +
                  "\t<key>Version</key>\n\t<dict>\n\t\t<key>Schema</key>\n\t\t<string>1</string>\n"
                  "\t\t<key>LastUpdated</key>\n\t\t<date>*</date>\n\t</dict>\n" +
                  Tail());
}

// The user is told, and the window stays so that they can try again or cancel.
TEST_F(PrefsWindowTest, AFailedSaveIsToldAndKeepsTheWindowOpenWithTheNewValuesInTheApplication) {
    std::ofstream(temp_ / "blocker") << "not a folder";
    UsePreferencesFolder(temp_ / "blocker" / "config");
    app->loadPrefs();
    prefsWindow& window = prefsWindow::instance();
    window.FindControl<fw::CheckBox>("cb_specialSpaces")->SetValue(true);
    window.btn_OK_Action();
    EXPECT_TRUE(app->prefEnableSpecialSpaces);
    EXPECT_FALSE(window.IsClosed());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("preferences could not be saved"), std::string::npos);
    EXPECT_NE(messages[0].find("Could not open file for saving"), std::string::npos);
    EXPECT_NE(messages[0].find((temp_ / "blocker" / "config").string()), std::string::npos);
    EXPECT_NE(messages[0].find("Not a directory"), std::string::npos) << messages[0];

    // The folder can be written again: the next OK saves and closes, silently.
    UsePreferencesFolder(temp_ / "config");
    app->loadPrefs();
    window.btn_OK_Action();
    EXPECT_TRUE(window.IsClosed());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_NE(ReadPrefsFile().find(Bool("EnableSpecialSpaces", true)), std::string::npos);
}
