#include "PrefsTestSupport.h"
#include "prefs/PrefSchema.h"
#include "support/OptionValues.h"

#include <array>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Fields = prefs::OptionValues;

const fw::Date kSaved = fw::Date::FromUTC({2024, 3, 7, 9, 5, 3});

std::string Version(const std::string& date = "2024-03-07T09:05:03Z") {
    return "\t<key>Version</key>\n\t<dict>\n"
           "\t\t<key>Schema</key>\n\t\t<string>1</string>\n"
           "\t\t<key>LastUpdated</key>\n\t\t<date>" +
           date + "</date>\n\t</dict>\n";
}

const std::string kDefaultsBody = "\t<key>CenterSquareDouble</key>\n\t<true/>\n"
                                  "\t<key>EnableBlanks</key>\n\t<true/>\n"
                                  "\t<key>EnableSpecialSpaces</key>\n\t<false/>\n"
                                  "\t<key>EnforceWordLength</key>\n\t<true/>\n"
                                  "\t<key>EnforceConstraints</key>\n\t<true/>\n"
                                  "\t<key>OnlyUniqueScores</key>\n\t<true/>\n"
                                  "\t<key>ContrainCombined</key>\n\t<false/>\n"
                                  "\t<key>ContrainIndividual</key>\n\t<true/>\n";

using Schema = PrefsFolderTest;

// What a run reads at start: the document and the values.
std::pair<std::unique_ptr<plist>, Fields> Load() {
    std::pair<std::unique_ptr<plist>, Fields> loaded{prefs::OpenPrefs(), Fields{}};
    prefs::LoadPrefs(*loaded.first, loaded.second);
    return loaded;
}

} // namespace

TEST_F(Schema, FirstRunTakesTheDefaultsAndWritesThemInOrderThenTheVersion) {
    EXPECT_EQ(prefs::PrefsFile().Path(), PrefsPath());
    auto [doc, fields] = Load();
    EXPECT_EQ(OptionValuesInTableOrder(fields),
              (std::vector<bool>{true, true, false, true, true, true, false, true}));
    EXPECT_FALSE(std::filesystem::exists(PrefsPath())); // loading writes nothing

    prefs::SavePrefs(*doc, fields, kSaved);
    EXPECT_EQ(ReadPrefsFile(), Head() + kDefaultsBody + Version() + Tail());

    // A second run reads back what the first one chose.
    fields.prefEnableSpecialSpaces = true;
    fields.prefCenterSquareDouble = false;
    prefs::SavePrefs(*doc, fields, kSaved);
    auto [again, read] = Load();
    EXPECT_EQ(OptionValuesInTableOrder(read), OptionValuesInTableOrder(fields));
    prefs::SavePrefs(*again, read, kSaved); // nothing new to add, nothing reordered
    EXPECT_EQ(ReadPrefsFile(), Head() + Bool("CenterSquareDouble", false) +
                                   Bool("EnableBlanks", true) + Bool("EnableSpecialSpaces", true) +
                                   kDefaultsBody.substr(kDefaultsBody.find("\t<key>EnforceWord")) +
                                   Version() + Tail());
}

TEST_F(Schema, TheTwoTileModesNeverLoadBothSelected) {
    WritePrefsFile(Bool("ContrainCombined", true) + Bool("ContrainIndividual", true));
    auto [doc, fields] = Load();
    EXPECT_TRUE(fields.prefConstrainCombined);
    EXPECT_FALSE(fields.prefConstrainIndividual);
    prefs::SavePrefs(*doc, fields, kSaved);
    const std::string saved = ReadPrefsFile();
    EXPECT_NE(saved.find(Bool("ContrainCombined", true) + Bool("ContrainIndividual", false)),
              std::string::npos);

    WritePrefsFile(Bool("ContrainCombined", false) + Bool("ContrainIndividual", false));
    auto [neither, none] = Load();
    EXPECT_FALSE(none.prefConstrainCombined);
    EXPECT_FALSE(none.prefConstrainIndividual);
}

TEST_F(Schema, EntriesOfOthersStayAndMissingKeysFollowThemInTableOrder) {
    const std::string foreign = "\t<key>WindowFrame</key>\n\t<string>10 20 &amp; more</string>\n"
                                "\t<key>OnlyUniqueScores</key>\n\t<false/>\n"
                                "\t<key>Recent</key>\n\t<array>\n"
                                "\t\t<integer>3</integer>\n"
                                "\t\t<dict>\n\t\t\t<key>Name</key>\n\t\t\t<string>x</string>\n"
                                "\t\t</dict>\n\t</array>\n"
                                "\t<key>Nested</key>\n\t<dict>\n"
                                "\t\t<key>Deep</key>\n\t\t<dict>\n"
                                "\t\t\t<key>Level</key>\n\t\t\t<real>2.5</real>\n"
                                "\t\t</dict>\n\t</dict>\n"
                                "\t<key>EnableBlanks</key>\n\t<string>yes</string>\n";
    WritePrefsFile(foreign);
    auto [doc, fields] = Load();
    EXPECT_FALSE(fields.prefOnlyUniqueScores);
    EXPECT_FALSE(fields.prefEnableBlanks); // a string is no Boolean
    EXPECT_TRUE(fields.prefCenterSquareDouble);

    // The user's choice replaces the string, in its place.
    fields.prefEnableBlanks = true;
    prefs::SavePrefs(*doc, fields, kSaved);
    std::string expected = foreign;
    expected.replace(expected.find("<string>yes</string>"), 20, "<true/>");
    EXPECT_EQ(ReadPrefsFile(),
              Head() + expected + Bool("CenterSquareDouble", true) +
                  Bool("EnableSpecialSpaces", false) + Bool("EnforceWordLength", true) +
                  Bool("EnforceConstraints", true) + Bool("ContrainCombined", false) +
                  Bool("ContrainIndividual", true) + Version() + Tail());
}

TEST_F(Schema, AKeyOfAnotherTypeIsSavedAsABoolean) {
    WritePrefsFile("\t<key>EnableBlanks</key>\n\t<integer>1</integer>\n"
                   "\t<key>OnlyUniqueScores</key>\n\t<dict>\n\t\t<key>x</key>\n\t\t<true/>\n"
                   "\t</dict>\n");
    auto [doc, fields] = Load();
    EXPECT_FALSE(fields.prefEnableBlanks);
    EXPECT_FALSE(fields.prefOnlyUniqueScores);
    fields.prefEnableBlanks = true;
    fields.prefOnlyUniqueScores = true;
    prefs::SavePrefs(*doc, fields, kSaved);
    auto [again, read] = Load();
    EXPECT_TRUE(read.prefEnableBlanks);
    EXPECT_TRUE(read.prefOnlyUniqueScores);
    EXPECT_EQ(again->root->ChildCount(), 1); // "Version"; the old node is gone
}

TEST_F(Schema, EverySaveRestampsAVersionDictionaryAndLeavesAnyOtherVersionAlone) {
    const std::string note = "\t\t<key>Note</key>\n\t\t<string>old</string>\n";
    auto withNote = [&note](std::string version) {
        return version.insert(version.find("\t\t<key>Schema"), note);
    };
    WritePrefsFile(withNote(Version("2001-01-02T03:04:05Z")) + kDefaultsBody);
    auto [doc, fields] = Load();
    prefs::SavePrefs(*doc, fields, kSaved);
    EXPECT_EQ(ReadPrefsFile(), Head() + withNote(Version()) + kDefaultsBody + Tail());

    for (const std::string& version :
         {std::string("\t<key>Version</key>\n\t<string>2</string>\n"),
          std::string("\t<key>Version</key>\n\t<array>\n\t\t<string>2</string>\n\t</array>\n")}) {
        WritePrefsFile(version + Bool("EnableSpecialSpaces", false));
        auto [odd, read] = Load();
        read.prefEnableSpecialSpaces = true;
        prefs::SavePrefs(*odd, read, kSaved);
        EXPECT_EQ(ReadPrefsFile(),
                  Head() + version + Bool("EnableSpecialSpaces", true) +
                      Bool("CenterSquareDouble", true) + Bool("EnableBlanks", true) +
                      Bool("EnforceWordLength", true) + Bool("EnforceConstraints", true) +
                      Bool("OnlyUniqueScores", true) + Bool("ContrainCombined", false) +
                      Bool("ContrainIndividual", true) + Tail());
    }
}

TEST_F(Schema, AMissingPreferencesFolderIsCreatedAtTheFirstSave) {
    UsePreferencesFolder(temp_ / "fresh" / "account" / ".config");
    auto [doc, fields] = Load();
    EXPECT_FALSE(std::filesystem::exists(prefsFolder_));
    prefs::SavePrefs(*doc, fields, kSaved);
    EXPECT_EQ(ReadPrefsFile(), Head() + kDefaultsBody + Version() + Tail());
}

TEST_F(Schema, AFolderThatCannotBeWrittenKeepsTheValuesAndReportsOnlyToTheDocument) {
    // A plain file where the folder should be: no user, root included, can
    // create anything below it.
    std::ofstream(temp_ / "blocker") << "not a folder";
    UsePreferencesFolder(temp_ / "blocker" / "config");
    auto [doc, fields] = Load();
    EXPECT_EQ(OptionValuesInTableOrder(fields),
              (std::vector<bool>{true, true, false, true, true, true, false, true}));
    fields.prefEnableSpecialSpaces = true;
    prefs::SavePrefs(*doc, fields, kSaved);
    EXPECT_TRUE(doc->error);
    EXPECT_EQ(doc->errorMessage, "Could not open file for saving");
    EXPECT_TRUE(fields.prefEnableSpecialSpaces);
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
}

// A control, a key or a row taken twice would tie two options together.
TEST(OptionTable, KeysControlsAndTheOpenOrderTakeEachOptionOnce) {
    std::set<std::string_view> keys;
    std::set<std::pair<std::string_view, int>> controls;
    for (const prefs::Option& option : prefs::kOptions) {
        keys.insert(option.key);
        controls.insert({option.control, option.index});
        EXPECT_EQ(prefs::OptionRow(option.control, option.index),
                  static_cast<std::size_t>(&option - prefs::kOptions.data()));
    }
    EXPECT_EQ(keys.size(), prefs::kOptionCount);
    EXPECT_EQ(controls.size(), prefs::kOptionCount);
    EXPECT_EQ(std::set<std::size_t>(prefs::kOpenOrder.begin(), prefs::kOpenOrder.end()).size(),
              prefs::kOptionCount);
    EXPECT_EQ(prefs::OptionRow("cb_nothing"), prefs::kOptionCount);
}
