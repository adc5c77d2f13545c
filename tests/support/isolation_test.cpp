// No test reads or writes the user's preferences: every test program starts
// in a temporary preferences folder, and the fixtures that store preferences
// move it only to temporary folders of their own and back.
#include "app/ShellFixture.h"
#include "prefs/PrefSchema.h"
#include "prefs/PrefsTestSupport.h"
#include "support/PreferencesFolder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The folder the program would use outside the tests.
fs::path UsersFolder() {
    const fs::path testFolder = fw::SetPreferencesFolderForTesting({});
    const fs::path users = fw::PreferencesFolder().Path();
    fw::SetPreferencesFolderForTesting(testFolder);
    return users;
}

bool Inside(const fs::path& item, const fs::path& folder) {
    const fs::path relative =
        fs::weakly_canonical(item).lexically_relative(fs::weakly_canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

TEST(TestIsolation, EveryTestProgramStartsInATemporaryPreferencesFolder) {
    const fs::path folder = fw::PreferencesFolder().Path();
    EXPECT_TRUE(InTemporaryFolder(folder)) << folder;
    EXPECT_NE(folder, UsersFolder());
}

TEST(TestIsolation, AScopedFolderGoesBackToTheFolderItFound) {
    const fs::path before = fw::PreferencesFolder().Path();
    TempFolder temp("tallorix-isolation");
    {
        ScopedPreferencesFolder outer(temp.Path() / "a");
        {
            ScopedPreferencesFolder inner(temp.Path() / "b");
            inner.Use(temp.Path() / "c");
            EXPECT_EQ(fw::PreferencesFolder().Path(), temp.Path() / "c");
        }
        EXPECT_EQ(fw::PreferencesFolder().Path(), temp.Path() / "a");
    }
    EXPECT_EQ(fw::PreferencesFolder().Path(), before);
}

class PrefsIsolation : public PrefsFolderTest {};

TEST_F(PrefsIsolation, ThePreferencesFileIsInsideTheFixturesFolder) {
    EXPECT_TRUE(Inside(prefs::PrefsFile().Path(), temp_)) << prefs::PrefsFile().AbsolutePath();
    UsePreferencesFolder(temp_ / "elsewhere");
    EXPECT_TRUE(Inside(prefs::PrefsFile().Path(), temp_ / "elsewhere"));
}

class ShellIsolation : public Shell {};

TEST_F(ShellIsolation, TheApplicationStoresItsPreferencesInTheTestsFolder) {
    EXPECT_EQ(Run([] {}), 0);
    const fs::path stored = fs::path(home.path().toStdString()) / "config" / prefs::kPrefsFileName;
    EXPECT_TRUE(fs::exists(stored)) << stored;
}
