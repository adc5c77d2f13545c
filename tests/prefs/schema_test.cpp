#include "PrefsTestSupport.h"
#include "plist/FakeSystem.h"
#include "prefs/PrefSchema.h"
#include "support/OptionValues.h"

#include <array>
#include <set>
#include <string_view>
#include <unistd.h>
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

// What one run of the application holds of its preferences, as the
// application object does: the document, the values, and what the file held.
struct Instance {
    std::unique_ptr<plist> doc = prefs::OpenPrefs();
    Fields fields;
    Fields stored = prefs::LoadPrefs(*doc, fields);

    bool Save() { return prefs::SavePrefs(doc, fields, stored, kSaved); }
};

// Where two saves meet: one, in a child process, stops as it reads the file
// again before saving until the other, here, finds the save lock taken.
int atRead[2];
int go[2];

} // namespace

TEST_F(Schema, FirstRunTakesTheDefaultsAndWritesThemInOrderThenTheVersion) {
    EXPECT_EQ(prefs::PrefsFile().Path(), PrefsPath());
    Instance run;
    EXPECT_EQ(OptionValuesInTableOrder(run.fields),
              (std::vector<bool>{true, true, false, true, true, true, false, true}));
    EXPECT_FALSE(std::filesystem::exists(PrefsPath())); // loading writes nothing

    EXPECT_TRUE(run.Save());
    EXPECT_EQ(ReadPrefsFile(), Head() + kDefaultsBody + Version() + Tail());

    // A second run reads back what the first one chose.
    run.fields.prefEnableSpecialSpaces = true;
    run.fields.prefCenterSquareDouble = false;
    EXPECT_TRUE(run.Save());
    Instance again;
    EXPECT_EQ(OptionValuesInTableOrder(again.fields), OptionValuesInTableOrder(run.fields));
    EXPECT_TRUE(again.Save()); // nothing new to add, nothing reordered
    EXPECT_EQ(ReadPrefsFile(), Head() + Bool("CenterSquareDouble", false) +
                                   Bool("EnableBlanks", true) + Bool("EnableSpecialSpaces", true) +
                                   kDefaultsBody.substr(kDefaultsBody.find("\t<key>EnforceWord")) +
                                   Version() + Tail());
}

TEST_F(Schema, TheTwoTileModesNeverLoadBothSelected) {
    WritePrefsFile(Bool("ContrainCombined", true) + Bool("ContrainIndividual", true));
    Instance run;
    EXPECT_TRUE(run.fields.prefConstrainCombined);
    EXPECT_FALSE(run.fields.prefConstrainIndividual);
    EXPECT_TRUE(run.Save());
    const std::string saved = ReadPrefsFile();
    EXPECT_NE(saved.find(Bool("ContrainCombined", true) + Bool("ContrainIndividual", false)),
              std::string::npos);

    WritePrefsFile(Bool("ContrainCombined", false) + Bool("ContrainIndividual", false));
    Instance neither;
    EXPECT_FALSE(neither.fields.prefConstrainCombined);
    EXPECT_FALSE(neither.fields.prefConstrainIndividual);
    // The pair is one choice: choosing one mode writes both, even over the
    // other mode that another run chose meanwhile.
    Instance other;
    other.fields.prefConstrainCombined = true;
    EXPECT_TRUE(other.Save());
    neither.fields.prefConstrainIndividual = true;
    EXPECT_TRUE(neither.Save());
    EXPECT_NE(
        ReadPrefsFile().find(Bool("ContrainCombined", false) + Bool("ContrainIndividual", true)),
        std::string::npos);
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
    Instance run;
    EXPECT_FALSE(run.fields.prefOnlyUniqueScores);
    EXPECT_FALSE(run.fields.prefEnableBlanks); // a string is no Boolean
    EXPECT_TRUE(run.fields.prefCenterSquareDouble);

    // The user's choice replaces the string, in its place.
    run.fields.prefEnableBlanks = true;
    EXPECT_TRUE(run.Save());
    std::string expected = foreign;
    expected.replace(expected.find("<string>yes</string>"), 20, "<true/>");
    EXPECT_EQ(ReadPrefsFile(),
              Head() + expected + Bool("CenterSquareDouble", true) +
                  Bool("EnableSpecialSpaces", false) + Bool("EnforceWordLength", true) +
                  Bool("EnforceConstraints", true) + Bool("ContrainCombined", false) +
                  Bool("ContrainIndividual", true) + Version() + Tail());
}

// A node under a key of the preferences goes, with everything in it; the
// Boolean takes the last place. A plain value of another type is replaced
// where it stands.
TEST_F(Schema, AKeyOfAnotherTypeIsSavedAsABoolean) {
    WritePrefsFile("\t<key>EnableBlanks</key>\n\t<integer>1</integer>\n"
                   "\t<key>OnlyUniqueScores</key>\n\t<dict>\n\t\t<key>x</key>\n\t\t<true/>\n"
                   "\t</dict>\n"
                   "\t<key>EnforceWordLength</key>\n\t<array>\n\t\t<true/>\n\t</array>\n" +
                   Bool("EnforceConstraints", true));
    Instance run;
    EXPECT_FALSE(run.fields.prefEnableBlanks);
    EXPECT_FALSE(run.fields.prefOnlyUniqueScores);
    EXPECT_FALSE(run.fields.prefEnforceWordLength);
    run.fields.prefEnableBlanks = true;
    run.fields.prefOnlyUniqueScores = true;
    EXPECT_TRUE(run.Save());
    EXPECT_EQ(ReadPrefsFile(),
              Head() + Bool("EnableBlanks", true) + Bool("EnforceConstraints", true) +
                  Bool("CenterSquareDouble", true) + Bool("EnableSpecialSpaces", false) +
                  Bool("ContrainCombined", false) + Bool("ContrainIndividual", true) + Version() +
                  Bool("EnforceWordLength", false) + Bool("OnlyUniqueScores", true) + Tail());
}

TEST_F(Schema, EverySaveRestampsAVersionDictionaryAndLeavesAnyOtherVersionAlone) {
    const std::string note = "\t\t<key>Note</key>\n\t\t<string>old</string>\n";
    auto withNote = [&note](std::string version) {
        return version.insert(version.find("\t\t<key>Schema"), note);
    };
    WritePrefsFile(withNote(Version("2001-01-02T03:04:05Z")) + kDefaultsBody);
    Instance run;
    EXPECT_TRUE(run.Save());
    EXPECT_EQ(ReadPrefsFile(), Head() + withNote(Version()) + kDefaultsBody + Tail());

    for (const std::string& version :
         {std::string("\t<key>Version</key>\n\t<string>2</string>\n"),
          std::string("\t<key>Version</key>\n\t<array>\n\t\t<string>2</string>\n\t</array>\n")}) {
        WritePrefsFile(version + Bool("EnableSpecialSpaces", false));
        Instance odd;
        odd.fields.prefEnableSpecialSpaces = true;
        EXPECT_TRUE(odd.Save());
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
    Instance run;
    EXPECT_FALSE(std::filesystem::exists(prefsFolder_));
    EXPECT_TRUE(run.Save());
    EXPECT_EQ(ReadPrefsFile(), Head() + kDefaultsBody + Version() + Tail());
}

TEST_F(Schema, AFolderThatCannotBeWrittenKeepsTheValuesAndReportsOnlyToTheDocument) {
    // A plain file where the folder should be: no user, root included, can
    // create anything below it.
    std::ofstream(temp_ / "blocker") << "not a folder";
    UsePreferencesFolder(temp_ / "blocker" / "config");
    Instance run;
    EXPECT_EQ(OptionValuesInTableOrder(run.fields),
              (std::vector<bool>{true, true, false, true, true, true, false, true}));
    run.fields.prefEnableSpecialSpaces = true;
    EXPECT_FALSE(run.Save());
    EXPECT_TRUE(run.doc->error);
    EXPECT_EQ(run.doc->errorMessage, "Could not open file for saving");
    EXPECT_TRUE(run.fields.prefEnableSpecialSpaces);
    EXPECT_FALSE(run.stored.prefEnableSpecialSpaces); // still to be written
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

// Two runs saving a damaged file at the same moment: the second waits for
// the first and then reads what it wrote, so neither change is lost, what
// could be read stays, and the damaged file is kept aside once. Each run
// writes only what it changed, at its later saves too.
TEST_F(Schema, TwoRunsSavingAtTheSameMomentKeepBothChanges) {
    const std::string damaged = Head() + Bool("EnableBlanks", false) + "\t<key>Enable";
    std::ofstream(PrefsPath(), std::ios::binary) << damaged;
    Instance first;
    Instance second;
    first.fields.prefEnableSpecialSpaces = true;
    second.fields.prefOnlyUniqueScores = false;
    ASSERT_TRUE(::pipe(atRead) == 0 && ::pipe(go) == 0);
    const auto inChild = [&] {
        ::close(go[1]);
        const FakeSystem fake({.atRead = [] {
            char byte = 1;
            (void)!::write(atRead[1], &byte, 1);
            (void)!::read(go[0], &byte, 1); // until go is closed
        }});
        return first.Save() ? 0 : 1;
    };
    const auto here = [&] {
        ::close(atRead[1]);
        char byte = 0;
        EXPECT_EQ(::read(atRead[0], &byte, 1), 1);
        const FakeSystem fake({.lockTaken = [] { ::close(std::exchange(go[1], -1)); }});
        EXPECT_TRUE(second.Save());
        EXPECT_EQ(go[1], -1); // it found the lock taken
        ::close(go[1]);
    };
    EXPECT_EQ(InChild(inChild, here), 0);
    ::close(atRead[0]);
    ::close(go[0]);
    // The run that saved holds what it wrote.
    EXPECT_EQ(OptionValuesInTableOrder(second.fields),
              (std::vector<bool>{true, false, true, true, true, false, false, true}));
    Instance third;
    third.fields.prefEnableSpecialSpaces = false;
    EXPECT_TRUE(third.Save());
    EXPECT_TRUE(second.Save());
    EXPECT_EQ(OptionValuesInTableOrder(Instance().fields),
              (std::vector<bool>{true, false, false, true, true, false, false, true}));
    EXPECT_EQ(ReadRaw(fw::FolderItem(PrefsPath().string() + ".unreadable")), damaged);
    EXPECT_FALSE(std::filesystem::exists(PrefsPath().string() + ".unreadable-2"));
}
