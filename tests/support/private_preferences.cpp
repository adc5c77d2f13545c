#include "support/PreferencesFolder.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Every test program keeps the preferences folder, and the cache folder, in
// temporary folders of its own for its whole run, so that no test, whatever
// it forgets to set up, reads or writes the user's preferences.
class PrivatePreferences : public ::testing::Environment {
public:
    void SetUp() override {
        folder_ = std::make_unique<TempFolder>("tallorix-preferences");
        ASSERT_TRUE(folder_->Valid());
        previous_ = fw::SetPreferencesFolderForTesting(folder_->Path());
        // Nor does a save in place keep its copies in the user's cache.
        cache_ = std::make_unique<TempFolder>("tallorix-cache");
        ASSERT_TRUE(cache_->Valid());
        ::setenv("XDG_CACHE_HOME", cache_->Path().c_str(), 1);
    }
    void TearDown() override {
        // A test that moved the folder and left it there would send the tests
        // after it elsewhere.
        EXPECT_EQ(fw::PreferencesFolder().Path(), folder_->Path())
            << "a test left the preferences folder moved";
        fw::SetPreferencesFolderForTesting(previous_);
        folder_.reset();
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<TempFolder> cache_;
    std::filesystem::path previous_;
};

[[maybe_unused]] ::testing::Environment* const privatePreferences =
    ::testing::AddGlobalTestEnvironment(new PrivatePreferences);

} // namespace
