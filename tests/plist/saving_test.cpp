// Replacing the file: failures at each step, what interrupted saves left
// behind, permissions, symbolic links, and folders that take no new files.
#include "FakeSystem.h"
#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <cstring>
#include <sys/stat.h>

namespace {

class Saving : public PlistTest {
protected:
    int EntriesInFolder() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder_),
                                              std::filesystem::directory_iterator()));
    }
    mode_t Mode(const std::string& name) const {
        struct stat info {};
        return ::stat(File(name).Path().c_str(), &info) == 0 ? info.st_mode & 07777 : 01000;
    }
    static std::string WithKey(const std::string& key) {
        return Head() + "\t<key>" + key + "</key>\n\t<true/>\n" + Tail();
    }
};

} // namespace

// A failed save leaves what was at the path, neither a temporary file nor a
// copy of its own, and says why; the next one succeeds, leaving the error
// flag as it was. What could not be read (a damaged file; a folder, moved as
// it can't be linked) is kept aside then at the next free name, never over
// an earlier copy, and never written in place.
TEST_F(Saving, AFailedSaveLeavesWhatWasAtThePathAndSaysWhy) {
    const fw::FolderItem file = File("prefs.plist");
    const std::string aside = file.Path().string() + ".unreadable";
    enum What { kNothing, kFile, kDamaged, kFolder };
    const char* const kinds[] = {"nothing", "a file", "a damaged file", "a folder"};
    const std::tuple<What, Faults, int> rows[] = {
        {kFile, {.room = 100}, ENOSPC},        {kFile, {.fsync = EIO}, EIO},
        {kFile, {.close = ENOSPC}, ENOSPC},    {kFile, {.rename = EXDEV}, EXDEV},
        {kNothing, {.create = EROFS}, EROFS},  {kDamaged, {.create = EACCES}, EACCES},
        {kDamaged, {.fsync = EIO}, EIO},       {kDamaged, {.rename = EXDEV}, EXDEV},
        {kFolder, {.create = EACCES}, EACCES}, {kFolder, {.fsync = EIO}, EIO},
        {kFolder, {.rename = EXDEV}, EXDEV},
    };
    for (const auto& [what, faults, error] : rows) {
        SCOPED_TRACE(std::string(kinds[what]) + ", " + std::strerror(error));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directory(folder_);
        WriteRaw(fw::FolderItem(aside), "earlier copy");
        const fw::FolderItem at = what == kFolder ? File("prefs.plist/inside") : file;
        const std::string before = what == kFile ? WithKey("k") : "damaged";
        if (what == kFolder) {
            std::filesystem::create_directory(file.Path());
        }
        if (what != kNothing) {
            WriteRaw(at, before);
        }
        plist doc(file);
        doc.root->SetBoolean("k", false);
        SaveWith(doc, faults);
        EXPECT_EQ(doc.errorMessage, "Could not open file for saving");
        EXPECT_EQ(doc.saveFailureReason, std::strerror(error));
        EXPECT_EQ(ReadRaw(at), what == kNothing ? "" : before);
        EXPECT_EQ(EntriesInFolder(), what == kNothing ? 1 : 2); // no temporary file, no copy

        doc.Save();
        EXPECT_EQ(doc.saveFailureReason, "");
        EXPECT_TRUE(doc.error); // as it was
        EXPECT_FALSE(plist(file).root->GetBoolean("k", true));
        EXPECT_EQ(doc.keptAsidePath, what >= kDamaged ? aside + "-2" : "");
        EXPECT_EQ(ReadRaw(fw::FolderItem(aside + "-2" + (what == kFolder ? "/inside" : ""))),
                  what >= kDamaged ? "damaged" : "");
        EXPECT_EQ(ReadRaw(fw::FolderItem(aside)), "earlier copy");
    }
}

// What a save that died left, ".<name>.tmp-<process id>-<hex digits>", the
// next save removes, whatever process id the name holds (one running, this
// one, one of another PID namespace): under the save lock no other save of
// the file runs. Those of other files, and other names, stay. Without the
// lock (a file system without locks) nothing is removed.
TEST_F(Saving, LeftoversOfSavesThatDiedAreRemovedOnlyUnderTheLock) {
    plist doc(File("prefs.plist"));
    doc.root->SetBoolean("k", true);
    // A save that ends at the flush of its temporary file.
    ASSERT_EQ(InChild([&] { return SaveWith(doc, {.endAt = 4}), 1; }), 0);
    ASSERT_EQ(EntriesInFolder(), 1);
    const std::string left = std::filesystem::directory_iterator(folder_)->path().filename();
    const std::string prefix = left.substr(0, left.rfind('-') + 1);
    const std::string pid = std::to_string(::getpid());
    const std::pair<std::string, bool> others[] = {
        {".prefs.plist.tmp-" + std::to_string(::getppid()) + "-00ff", false}, // running
        {".prefs.plist.tmp-" + pid + "-0a", false},                           // this one
        {".other.plist.tmp-" + pid + "-0a", true},
        {prefix + "notours", true},
    };
    for (const auto& other : others) {
        WriteRaw(File(other.first), std::string(1000, 'x'));
    }
    SaveWith(doc, {.flock = ENOLCK});
    EXPECT_EQ(EntriesInFolder(), 6);
    doc.Save();
    EXPECT_FALSE(File(left).Exists());
    for (const auto& [name, stays] : others) {
        EXPECT_EQ(File(name).Exists(), stays) << name;
    }
}

// A new file, or one that can't be read, gets 0666 less the umask, as other
// programs make them.
TEST_F(Saving, FilesKeepTheirModeAndNewOrUnreadableOnesGetTheUsualOne) {
    const mode_t oldMask = ::umask(002);
    // The file, its mode before (-1: no file yet; 0: it can't be read), after.
    const std::tuple<const char*, int, mode_t> rows[] = {{"new.plist", -1, 0664},
                                                         {"private.plist", 0600, 0600},
                                                         {"readonly.plist", 0444, 0444},
                                                         {"locked.plist", 0, 0664}};
    for (const auto& [name, before, after] : rows) {
        SCOPED_TRACE(name);
        if (before >= 0) {
            WriteRaw(File(name), WithKey("k"));
            ::chmod(File(name).Path().c_str(), static_cast<mode_t>(before));
        }
        {
            const FakeSystem fake({.unreadable = before == 0 ? File(name).Path().string() : ""});
            plist doc(File(name));
            doc.root->SetBoolean("k", false);
            doc.Save();
            EXPECT_EQ(doc.saveFailureReason, "");
        }
        EXPECT_EQ(Mode(name), after);
        EXPECT_FALSE(plist(File(name)).root->GetBoolean("k", true));
    }
    ::umask(oldMask);
}

// The links stay; the file at their end is written, or made when it isn't
// there yet. Links that go round in a loop, or more than the system follows,
// fail the save at once.
TEST_F(Saving, ASymbolicLinkIsWrittenThroughToItsEnd) {
    using Links = std::vector<std::pair<std::string, std::string>>; // name, where it points
    std::filesystem::create_directory(folder_ / "real");
    // "<name>.plist", then links in "real" up to "real/<name>.plist".
    const auto chain = [](const std::string& name, int links) {
        Links chain{{name + ".plist", "real/" + name + (links > 1 ? "1" : ".plist")}};
        for (int i = 1; i < links; ++i) {
            chain.emplace_back("real/" + name + std::to_string(i),
                               name + (i + 1 < links ? std::to_string(i + 1) : ".plist"));
        }
        return chain;
    };
    // The file at the end is "real/<the first link's name>".
    const std::tuple<const char*, Links, bool, int> rows[] = {
        {"to a file", chain("a", 1), true, 0},
        {"to no file yet", chain("b", 1), false, 0},
        {"absolute, to no file yet", {{"c.plist", (folder_ / "real/c.plist").string()}}, false, 0},
        {"through 40 links, as the system", chain("g", 40), false, 0},
        {"through 41", chain("h", 41), false, ELOOP},
        {"into a loop", {{"e.plist", "real/e-link"}, {"real/e-link", "../e.plist"}}, false, ELOOP},
        {"to a missing folder", {{"f.plist", "nowhere/f.plist"}}, false, ENOENT},
    };
    for (const auto& [what, links, endExists, error] : rows) {
        SCOPED_TRACE(what);
        for (const auto& [name, to] : links) {
            std::filesystem::create_symlink(to, folder_ / name);
        }
        const fw::FolderItem end = File("real/" + links.front().first);
        if (endExists) {
            WriteRaw(end, WithKey("old"));
        }
        plist doc(File(links.front().first));
        doc.root->SetBoolean("k", true);
        doc.Save();
        for (const auto& link : links) {
            EXPECT_TRUE(std::filesystem::is_symlink(folder_ / link.first)) << link.first;
        }
        EXPECT_EQ(doc.saveFailureReason, error != 0 ? std::strerror(error) : "");
        if (error == 0) {
            EXPECT_TRUE(plist(end).root->GetBoolean("k", false));
            EXPECT_EQ(plist(end).root->Exists("old"), endExists);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "nowhere"));
}
