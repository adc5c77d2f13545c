// The preferences file as the running application meets it: a file that is
// kept aside, and a file that another run changed meanwhile.
#include "ShellFixture.h"
#include "plist/InPlaceSave.h"
#include "prefs/PrefSchema.h"

#include <QDir>
#include <filesystem>
#include <fstream>

namespace {

class PrefsFile : public Shell {
protected:
    void SetUp() override {
        Shell::SetUp();
        // Each message with whether the splash still showed under it.
        fw::SetMsgBoxCatcher([this](const std::string& text) {
            messages.push_back(text);
            overSplash.push_back(Splash() != nullptr);
        });
        QDir().mkpath(home.filePath(QStringLiteral("config")));
    }

    static void WritePrefs(const std::string& text) {
        std::ofstream(prefs::PrefsFile().Path(), std::ios::binary) << text;
    }

    // What the user is told of the file kept aside by the last save, which
    // the reader found damaged for `reason`, as ".unreadable<suffix>".
    static std::string KeptAsideNotice(const std::string& reason, const std::string& suffix = "") {
        return "Your preferences file could not be read in full (" + reason + "). It was kept as " +
               prefs::PrefsFile().AbsolutePath() + ".unreadable" + suffix +
               ", and a new one was written.";
    }

    static void LetTheLoopRun() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    std::vector<bool> overSplash;
};

} // namespace

// Told once per file kept aside, when the splash has gone; the save itself
// succeeded, so the application ends as usual.
TEST_F(PrefsFile, AFileKeptAsideIsToldOnceAndNeverOverTheSplash) {
    WritePrefs("not a property list");
    EXPECT_EQ(Run([this] {
                  ASSERT_NE(Splash(), nullptr);
                  EXPECT_TRUE(app->savePrefs());
                  EXPECT_TRUE(messages.empty());
                  SplashTimer()->Fire();
                  LetTheLoopRun();
                  ASSERT_EQ(messages.size(), 1u);
                  EXPECT_EQ(messages[0], KeptAsideNotice("line 1, column 1: syntax error"));
                  EXPECT_TRUE(app->savePrefs());
                  Choose("FileQuit");
              }),
              0);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(overSplash, std::vector<bool>{false});
}

// At Quit the splash goes first, and the user is told before the end, of
// the copy made beside an earlier one.
TEST_F(PrefsFile, QuittingOverTheSplashTellsOfAFileKeptAsideBeforeTheEnd) {
    const std::string damaged = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<dict>\n"
                                "\t<key>EnableSpecialSpaces</key>\n\t<true/>\n\t<key>x";
    const std::string earlier = prefs::PrefsFile().Path().string() + ".unreadable";
    std::ofstream(earlier) << "an earlier copy";
    WritePrefs(damaged);
    EXPECT_EQ(Run([this] {
                  ASSERT_NE(Splash(), nullptr);
                  Choose("FileQuit");
                  ASSERT_EQ(messages.size(), 1u);
                  EXPECT_EQ(messages[0],
                            KeptAsideNotice("line 6, column 8: no element found", "-2"));
              }),
              0);
    EXPECT_EQ(overSplash, std::vector<bool>{false});
    std::ifstream aside(earlier + "-2", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), damaged);
    EXPECT_TRUE(app->prefEnableSpecialSpaces); // what could be read was kept
}

// An empty file holds nothing to keep: it is replaced without a word.
TEST_F(PrefsFile, AnEmptyFileIsReplacedSilently) {
    WritePrefs("");
    EXPECT_EQ(Run([this] { Choose("FileQuit"); }), 0);
    EXPECT_EQ(messages, std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(prefs::PrefsFile().Path().string() + ".unreadable"));
}

// Without a home folder nothing is saved, and the user is told; however the
// event loop ends (Quit, or the system: logging out, say), a save at the end
// that failed ends the process with status 1.
TEST_F(PrefsFile, WithoutAHomeFolderTheSaveAtTheEndIsToldAndExitsWithOne) {
    EXPECT_TRUE(fw::PreferencesFolderFor(nullptr, nullptr, nullptr).Child("x").Path().empty());
    QTimer::singleShot(0, [this] {
        app->myPrefs = std::make_unique<plist>(fw::FolderItem());
        QCoreApplication::quit();
    });
    EXPECT_EQ(system->Run(), 1);
    EXPECT_EQ(app->closes, 1);
    EXPECT_EQ(messages, std::vector<std::string>{"Your preferences can't be saved: there is no "
                                                 "home folder to keep them in."});
}

// A copy left by a save in place that died is told once, by the name it is
// then kept under.
TEST_F(PrefsFile, ACopyLeftByASaveInPlaceThatDiedIsToldOnce) {
    const std::filesystem::path copy = plistio::CopyPath(prefs::PrefsFile().Path());
    std::filesystem::create_directories(copy.parent_path());
    std::ofstream(copy) << "old";
    EXPECT_EQ(Run([this] {
                  SplashTimer()->Fire();
                  LetTheLoopRun();
                  EXPECT_TRUE(app->savePrefs());
              }),
              0);
    const std::string kept = copy.parent_path() / copy.stem() += ".previous";
    EXPECT_EQ(messages, std::vector<std::string>{"Your preferences file may be damaged; its "
                                                 "previous contents are in " +
                                                 kept + "."});
    EXPECT_TRUE(std::filesystem::exists(kept));
}
