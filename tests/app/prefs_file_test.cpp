// The preferences file as the running application meets it: damaged, or
// with no home folder to keep it in.
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

    // What the user is told of the file kept aside, which held "not a
    // property list".
    static std::string KeptAsideNotice() {
        return "Your preferences file could not be read in full (line 1, column 1: syntax "
               "error). It was kept as " +
               prefs::PrefsFile().AbsolutePath() + ".unreadable, and a new one was written.";
    }

    std::vector<bool> overSplash;
};

} // namespace

// Told once each, when the splash has gone: a file kept aside, and a copy
// left by a save in place that died, by the name it is then kept under. An
// empty file holds nothing to keep and is replaced without a word. The saves
// succeeded, so the application ends as usual.
TEST_F(PrefsFile, DamageIsToldOnceAndNeverOverTheSplash) {
    const std::filesystem::path copy = plistio::CopyPath(prefs::PrefsFile().Path());
    std::filesystem::create_directories(copy.parent_path());
    std::ofstream(copy) << "old";
    const std::string kept = copy.parent_path() / copy.stem() += ".previous";
    const std::vector<std::string> told{
        "Your preferences file may be damaged; its previous contents are in " + kept + ".",
        KeptAsideNotice()};
    WritePrefs("not a property list");
    EXPECT_EQ(Run([&] {
                  ASSERT_NE(Splash(), nullptr);
                  EXPECT_TRUE(app->savePrefs());
                  EXPECT_TRUE(messages.empty());
                  SplashTimer()->Fire();
                  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                  QCoreApplication::processEvents();
                  EXPECT_EQ(messages, told);
                  WritePrefs("");
                  EXPECT_TRUE(app->savePrefs());
                  Choose("FileQuit");
              }),
              0);
    EXPECT_EQ(messages, told);
    EXPECT_EQ(overSplash, (std::vector<bool>{false, false}));
    EXPECT_TRUE(std::filesystem::exists(kept));
}

// At Quit the splash goes first, and the user is told before the end.
TEST_F(PrefsFile, QuittingOverTheSplashTellsOfAFileKeptAsideBeforeTheEnd) {
    WritePrefs("not a property list");
    EXPECT_EQ(Run([this] {
                  ASSERT_NE(Splash(), nullptr);
                  Choose("FileQuit");
                  EXPECT_EQ(messages, std::vector{KeptAsideNotice()});
              }),
              0);
    EXPECT_EQ(overSplash, std::vector<bool>{false});
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
