// Writing a file over itself, for a folder that takes no new files: what a
// save killed at any step leaves, what a failing disk leaves; and the owner,
// group and access list that a replacement keeps.
#include "FakeSystem.h"
#include "PlistTestSupport.h"
#include "plist/InPlaceSave.h"
#include "plist/plistDict.h"

#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <tuple>

namespace {

class InPlace : public PlistTest {
protected:
    static std::string Text(int entries) {
        std::string text = Head();
        for (int i = 0; i < entries; ++i) {
            text += "\t<key>k" + std::to_string(i) + "</key>\n\t<integer>" +
                    std::to_string(entries) + "</integer>\n";
        }
        return text + Tail();
    }
    fw::FolderItem Prefs() const { return File("prefs.plist"); }
    // The file's text without the blanks that a save in place may leave.
    std::string Unpadded() const {
        std::string text = ReadRaw(Prefs());
        return text.erase(text.find_last_not_of(' ') + 1);
    }
    // Saves a text of so many entries over the file, as `faults` let it, in a
    // folder that takes no new files unless `newFiles`.
    std::unique_ptr<plist> Save(int entries, Faults faults, bool newFiles = false) const {
        auto doc = std::make_unique<plist>(Prefs());
        doc->LoadFromBytes(Text(entries));
        faults.create = newFiles ? 0 : EACCES;
        SaveWith(*doc, std::move(faults));
        return doc;
    }
    std::string AccessList() const {
        std::string list(1024, '\0');
        const ssize_t size =
            ::getxattr(Prefs().Path().c_str(), "system.posix_acl_access", list.data(), list.size());
        return list.substr(0, size < 0 ? 0 : static_cast<std::size_t>(size));
    }
};

} // namespace

TEST_F(InPlace, ASaveKilledAtAnyStepLeavesTheOldOrTheNewFileAndTheOldBytesWhole) {
    const fw::FolderItem copy(plistio::CopyPath(Prefs().Path()));
    for (const auto& [from, to] : {std::pair{20, 40}, std::pair{40, 20}}) {
        for (int step = 1;; ++step) {
            ASSERT_LT(step, 100);
            SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to) + ", step " +
                         std::to_string(step));
            WriteRaw(Prefs(), Text(from));
            // 0: ended at the step; 1: saved; 2: failed.
            const int ended = InChild([&] { return Save(to, {.endAt = step})->error ? 2 : 1; });
            const bool copied = copy.Exists();
            EXPECT_TRUE(Unpadded() == Text(from) || Unpadded() == Text(to));
            EXPECT_TRUE(Unpadded() == Text(from) || copied || ended != 0);
            EXPECT_EQ(copied ? ReadRaw(copy) : Text(from), Text(from));
            // The next reading of the file finds the copy, once.
            plist next(Prefs());
            EXPECT_TRUE(next.FullyRead());
            EXPECT_EQ(copied ? ReadRaw(fw::FolderItem(next.previousContentsPath)) : "",
                      copied ? Text(from) : next.previousContentsPath);
            EXPECT_EQ(plist(Prefs()).previousContentsPath, "");
            if (ended != 0) {
                EXPECT_EQ(ended, 1);
                EXPECT_EQ(ReadRaw(Prefs()), Text(to));
                break;
            }
        }
    }
}

// A disk that fills up, or fails: the old file, whole, or where its bytes
// are. On a file system that copies on write, writing over the file's own
// bytes takes new room too.
TEST_F(InPlace, AFailingDiskLeavesTheOldFileOrSaysWhereItsBytesAre) {
    // The copy takes room first.
    const long copy = static_cast<long>(Text(20).size());
    const long growth = static_cast<long>(Text(40).size()) - copy;
    const std::tuple<const char*, Faults, bool> rows[] = {
        {"no room to grow, after growing part-way", {.room = copy + growth / 2}, false},
        {"no room half-way, then room again",
         {.room = copy + growth + 600, .roomAfterFull = true},
         false},
        {"no room half-way, nor to put it back", {.room = copy + growth + 600}, true},
    };
    for (const auto& [what, faults, damaged] : rows) {
        SCOPED_TRACE(what);
        WriteRaw(Prefs(), Text(20));
        const auto doc = Save(40, faults);
        EXPECT_EQ(doc->saveFailureReason, std::strerror(ENOSPC));
        EXPECT_EQ(doc->previousContentsPath.empty(), !damaged);
        EXPECT_EQ(ReadRaw(damaged ? fw::FolderItem(doc->previousContentsPath) : Prefs()), Text(20));
        EXPECT_EQ(Unpadded() == Text(20), !damaged);
        EXPECT_FALSE(std::filesystem::exists(plistio::CopyPath(Prefs().Path())));
    }

    // With no folder for the copy, the file is not touched.
    WriteRaw(Prefs(), Text(20));
    const std::string cache = std::getenv("XDG_CACHE_HOME");
    ::setenv("XDG_CACHE_HOME", (Prefs().Path() / "cache").c_str(), 1);
    const auto doc = Save(40, {});
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    EXPECT_EQ(doc->saveFailureReason, "No copy of the file could be kept in " +
                                          (Prefs().Path() / "cache/tallorix").string() +
                                          " before writing it in place: Not a directory");
    EXPECT_EQ(ReadRaw(Prefs()), Text(20));
}

// A replacement takes the file's owner and group (given through the seam: a
// user can't give a file away) and its own access list, not the one that the
// folder's default gives a new file. Refused the owner, the file is written
// in place instead, and so keeps all three.
TEST_F(InPlace, AReplacementKeepsTheFilesOwnerGroupAndAccessListOrTheFileIsWrittenInPlace) {
    const std::string file = Prefs().Path().string();
    ASSERT_EQ(std::system(("setfacl -d -m u:54321:rw " + folder_.string()).c_str()), 0)
        << "setfacl is missing (Debian's acl), or " << folder_ << " takes no access lists";
    const std::pair<int, bool> rows[] = {{0, true}, {0, false}, {EPERM, true}};
    for (const auto& [refused, own] : rows) {
        SCOPED_TRACE(std::to_string(refused) + (own ? ", own list" : ", no list"));
        WriteRaw(Prefs(), Text(1));
        ASSERT_EQ(std::system(((own ? "setfacl -m u:54321:r " : "setfacl -b ") + file).c_str()), 0);
        const std::string list = AccessList();
        ASSERT_EQ(list.empty(), !own);
        struct stat before {};
        struct stat after {};
        ::stat(file.c_str(), &before);
        EXPECT_EQ(Save(2, {.chown = refused}, true)->saveFailureReason, "");
        EXPECT_EQ(FakeSystem::owner, std::pair(before.st_uid, before.st_gid));
        ::stat(file.c_str(), &after);
        EXPECT_EQ(after.st_ino == before.st_ino, refused != 0);
        EXPECT_EQ(AccessList(), list);
        EXPECT_EQ(ReadRaw(Prefs()), Text(2));
    }
}
