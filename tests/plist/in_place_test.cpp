// Writing a file over itself, for a folder that takes no new files: what a
// save killed at any step leaves, what a failing disk leaves; and the owner,
// group and access list that a replacement keeps.
#include "PlistTestSupport.h"
#include "plist/FileAccess.h"
#include "plist/InPlaceSave.h"
#include "plist/plistDict.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <tuple>
#include <unistd.h>

namespace {

// How the system calls of a save go while a Fake lives. Each call is a step.
struct Plan {
    bool newFiles = false;      // whether the file's folder takes new files
    int endAt = 0;              // the step at which the process ends; 0: none
    long room = -1;             // what writes may add before ENOSPC; -1: no end
    bool roomAfterFull = false; // room again after the first write that had none
    int chown = 0;              // fchown's error
};
Plan plan;
int steps = 0;
std::pair<uid_t, gid_t> owner; // last given to a file

void Step() {
    if (++steps == plan.endAt) {
        ::_exit(0); // a save that never finished
    }
}

struct Fake {
    explicit Fake(const Plan& p) {
        plan = p;
        steps = 0;
        calls.open = [](const char* path, int flags, mode_t mode) {
            Step();
            errno = EACCES;
            return (flags & O_CREAT) != 0 && !plan.newFiles ? -1 : ::open(path, flags, mode);
        };
        calls.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
            Step();
            if (plan.room == 0) {
                plan.room = plan.roomAfterFull ? -1 : 0;
                errno = ENOSPC;
                return -1;
            }
            size = plan.room > 0 ? std::min<std::size_t>(size, plan.room) : size;
            plan.room -= plan.room > 0 ? static_cast<long>(size) : 0;
            return ::write(fd, data, size);
        };
        calls.ftruncate = [](int fd, off_t length) { return Step(), ::ftruncate(fd, length); };
        calls.fsync = [](int fd) { return Step(), ::fsync(fd); };
        calls.close = [](int fd) { return Step(), ::close(fd); };
        calls.fchown = [](int fd, uid_t uid, gid_t gid) {
            owner = {uid, gid};
            errno = plan.chown;
            return Step(), plan.chown != 0 ? -1 : ::fchown(fd, uid, gid);
        };
        plistio::ReplaceSystemCalls(&calls);
    }
    ~Fake() { plistio::ReplaceSystemCalls(nullptr); }
    plistio::SystemCalls calls = plistio::CurrentSystemCalls();
};

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
    // Saves a text of so many entries over the file, as `how` lets it.
    std::unique_ptr<plist> Save(int entries, const Plan& how) const {
        auto doc = std::make_unique<plist>(Prefs());
        doc->LoadFromBytes(Text(entries));
        const Fake fake(how);
        doc->Save();
        return doc;
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
            const pid_t child = ::fork();
            if (child == 0) {
                ::_exit(Save(to, {.endAt = step})->error ? 2 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            const int ended = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    const std::tuple<const char*, Plan, bool> rows[] = {
        {"no room to grow, after growing part-way", {.room = copy + growth / 2}, false},
        {"no room half-way, then room again",
         {.room = copy + growth + 600, .roomAfterFull = true},
         false},
        {"no room half-way, nor to put it back", {.room = copy + growth + 600}, true},
    };
    for (const auto& [what, how, damaged] : rows) {
        SCOPED_TRACE(what);
        WriteRaw(Prefs(), Text(20));
        const auto doc = Save(40, how);
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

// Through the seam, what a user can't do for real: give a file to another
// owner, or be refused that. Refused, the file is written in place instead,
// keeping its owner and group.
TEST_F(InPlace, AReplacementTakesTheFilesOwnerAndGroupOrTheFileIsWrittenInPlace) {
    for (const int refused : {0, EPERM}) {
        WriteRaw(Prefs(), Text(1));
        struct stat before {};
        struct stat after {};
        ::stat(Prefs().Path().c_str(), &before);
        EXPECT_EQ(Save(2, {.newFiles = true, .chown = refused})->saveFailureReason, "");
        EXPECT_EQ(owner, std::pair(before.st_uid, before.st_gid));
        ::stat(Prefs().Path().c_str(), &after);
        EXPECT_EQ(after.st_ino == before.st_ino, refused != 0);
        EXPECT_EQ(ReadRaw(Prefs()), Text(2));
    }
}

// For real, as whoever runs the tests: the file's own access list stays, and
// the one that the folder's default would give a new file does not come.
TEST_F(InPlace, AReplacementKeepsTheFilesAccessListNotTheFoldersDefault) {
    const auto accessList = [this] {
        std::string list(1024, '\0');
        const ssize_t size =
            ::getxattr(Prefs().Path().c_str(), "system.posix_acl_access", list.data(), list.size());
        return list.substr(0, size < 0 ? 0 : static_cast<std::size_t>(size));
    };
    const std::string setfacl = "setfacl -m u:54321:r " + Prefs().Path().string() +
                                " && setfacl -d -m u:54321:rw " + folder_.string();
    for (const bool own : {true, false}) {
        WriteRaw(Prefs(), Text(1));
        ASSERT_EQ(std::system((own ? setfacl : "setfacl -b " + Prefs().Path().string()).c_str()), 0)
            << "setfacl is missing (Debian's acl), or " << folder_ << " takes no access lists";
        const std::string list = accessList();
        ASSERT_EQ(list.empty(), !own);
        EXPECT_EQ(Save(2, {.newFiles = true})->saveFailureReason, "");
        EXPECT_EQ(accessList(), list);
    }
}
