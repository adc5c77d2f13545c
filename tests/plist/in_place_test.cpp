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
#include <unistd.h>

namespace {

// How the system calls of a save go, for as long as a Fake lives. Each call
// is a step.
struct Plan {
    bool newFiles = false;      // whether the file's folder takes new files
    int endAt = 0;              // the step at which the process ends; 0: none
    long room = -1;             // what writes to the file may add before ENOSPC; -1: no end
    bool roomAfterFull = false; // room again after the first write that had none
    int truncate = 0;           // ftruncate's error
    int chown = 0;              // fchown's error
};

class Fake {
public:
    explicit Fake(Plan plan) {
        plan_ = plan;
        steps_ = 0;
        owner_ = {};
        calls_ = plistio::CurrentSystemCalls();
        calls_.open = [](const char* path, int flags, mode_t mode) {
            Step();
            if ((flags & O_CREAT) != 0 && !plan_.newFiles) {
                errno = EACCES;
                return -1;
            }
            const int fd = ::open(path, flags, mode);
            file_ = (flags & O_ACCMODE) == O_RDWR ? fd : file_;
            return fd;
        };
        calls_.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
            Step();
            if (fd == file_ && plan_.room == 0) {
                plan_.room = plan_.roomAfterFull ? -1 : 0;
                errno = ENOSPC;
                return -1;
            }
            if (fd == file_ && plan_.room > 0) {
                size = std::min<std::size_t>(size, static_cast<std::size_t>(plan_.room));
                plan_.room -= static_cast<long>(size);
            }
            return ::write(fd, data, size);
        };
        calls_.ftruncate = [](int fd, off_t length) {
            Step();
            return Fail(plan_.truncate) ? -1 : ::ftruncate(fd, length);
        };
        calls_.fsync = [](int fd) { return Step(), ::fsync(fd); };
        calls_.close = [](int fd) { return Step(), ::close(fd); };
        calls_.fchown = [](int fd, uid_t owner, gid_t group) {
            Step();
            owner_ = {owner, group};
            return Fail(plan_.chown) ? -1 : ::fchown(fd, owner, group);
        };
        plistio::ReplaceSystemCalls(&calls_);
    }
    ~Fake() { plistio::ReplaceSystemCalls(nullptr); }
    Fake(const Fake&) = delete;
    Fake& operator=(const Fake&) = delete;

    // The owner and group last given to a file.
    static std::pair<uid_t, gid_t> Owner() { return owner_; }

private:
    static void Step() {
        if (++steps_ == plan_.endAt) {
            ::_exit(0); // a save that never finished
        }
    }
    static bool Fail(int error) {
        errno = error;
        return error != 0;
    }

    plistio::SystemCalls calls_{};
    static inline Plan plan_;
    static inline int steps_ = 0;
    static inline int file_ = -1;
    static inline std::pair<uid_t, gid_t> owner_;
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
    // The file's text without the blanks that a save in place may leave.
    std::string Unpadded() const {
        std::string text = ReadRaw(file_);
        return text.erase(text.find_last_not_of(' ') + 1);
    }
    // Saves `text` over the file, as `plan` lets it.
    void Save(plist& doc, const std::string& text, const Plan& plan) const {
        doc.LoadFromBytes(text);
        const Fake fake(plan);
        doc.Save();
    }

    void SetUp() override {
        PlistTest::SetUp();
        file_ = File("prefs.plist");
    }

    fw::FolderItem file_;
};

} // namespace

TEST_F(InPlace, ASaveKilledAtAnyStepLeavesTheOldOrTheNewFileAndTheOldBytesWhole) {
    const fw::FolderItem copy(plistio::CopyPath(file_.Path()));
    for (const auto& [oldEntries, newEntries] : {std::pair{20, 40}, std::pair{40, 20}}) {
        const std::string old = Text(oldEntries);
        const std::string now = Text(newEntries);
        for (int step = 1;; ++step) {
            SCOPED_TRACE(std::to_string(oldEntries) + " entries to " + std::to_string(newEntries) +
                         ", ended at step " + std::to_string(step));
            ASSERT_LT(step, 500);
            WriteRaw(file_, old);
            const pid_t child = ::fork();
            if (child == 0) {
                plist doc(file_);
                Save(doc, now, {.endAt = step});
                ::_exit(doc.error ? 2 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            const int ended = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            const bool copied = copy.Exists();
            EXPECT_TRUE(Unpadded() == old || Unpadded() == now);
            EXPECT_TRUE(Unpadded() == old || copied || ended != 0);
            if (copied) {
                EXPECT_EQ(ReadRaw(copy), old);
            }
            // The next reading of the file finds the copy, once.
            plist next(file_);
            EXPECT_TRUE(next.FullyRead());
            EXPECT_EQ(next.previousContentsPath.empty(), !copied);
            if (copied) {
                EXPECT_EQ(ReadRaw(fw::FolderItem(next.previousContentsPath)), old);
                EXPECT_EQ(plist(file_).previousContentsPath, "");
            }
            if (ended != 0) {
                EXPECT_EQ(ended, 1);
                EXPECT_EQ(ReadRaw(file_), now);
                EXPECT_FALSE(copied);
                break;
            }
        }
    }
}

// A disk that fills up, or fails: the old file, whole, or where its bytes
// are. On a file system that copies on write, writing over the file's own
// bytes takes new room too.
TEST_F(InPlace, AFailingDiskLeavesTheOldFileOrSaysWhereItsBytesAre) {
    const std::string old = Text(20);
    const long growth = static_cast<long>(Text(40).size() - old.size());
    struct Row {
        const char* what;
        Plan plan;
        int newEntries;
        bool failed;
        bool damaged;
    };
    const Row rows[] = {
        {"no room to grow, after growing part-way", {.room = growth / 2}, 40, true, false},
        {"no room half-way, then room again",
         {.room = growth + 600, .roomAfterFull = true},
         40,
         true,
         false},
        {"no room half-way, nor to put it back", {.room = growth + 600}, 40, true, true},
        {"shorter text not cut", {.truncate = EIO}, 10, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteRaw(file_, old);
        plist doc(file_);
        Save(doc, Text(row.newEntries), row.plan);
        EXPECT_EQ(doc.saveFailureReason, row.failed ? std::strerror(ENOSPC) : "");
        EXPECT_EQ(doc.previousContentsPath.empty(), !row.damaged);
        if (row.damaged) {
            EXPECT_NE(Unpadded(), old);
            EXPECT_EQ(ReadRaw(fw::FolderItem(doc.previousContentsPath)), old);
        } else {
            EXPECT_EQ(row.failed ? ReadRaw(file_) : Unpadded(), row.failed ? old : Text(10));
        }
        EXPECT_FALSE(std::filesystem::exists(plistio::CopyPath(file_.Path())));
    }

    // With no folder for the copy, the file is not touched.
    WriteRaw(file_, old);
    const std::string cache = std::getenv("XDG_CACHE_HOME");
    ::setenv("XDG_CACHE_HOME", (file_.Path() / "cache").c_str(), 1);
    plist doc(file_);
    Save(doc, Text(40), {});
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    EXPECT_EQ(doc.saveFailureReason, "No copy of the file could be kept in " +
                                         (file_.Path() / "cache/tallorix").string() +
                                         " before writing it in place: Not a directory");
    EXPECT_EQ(ReadRaw(file_), old);
}

// Through the seam, what a user can't do for real: give a file to another
// owner, or be refused that. Refused, the file is written in place instead,
// keeping its owner and group.
TEST_F(InPlace, AReplacementTakesTheFilesOwnerAndGroupOrTheFileIsWrittenInPlace) {
    for (const int refused : {0, EPERM}) {
        WriteRaw(file_, Text(1));
        struct stat before {};
        ::stat(file_.Path().c_str(), &before);
        plist doc(file_);
        Save(doc, Text(2), {.newFiles = true, .chown = refused});
        EXPECT_EQ(Fake::Owner(), std::pair(before.st_uid, before.st_gid));
        EXPECT_EQ(doc.saveFailureReason, "");
        struct stat after {};
        ::stat(file_.Path().c_str(), &after);
        EXPECT_EQ(after.st_ino == before.st_ino, refused != 0);
        EXPECT_EQ(ReadRaw(file_), Text(2));
    }
}

// For real, as whoever runs the tests: the file's own access list stays, and
// the one that the folder's default would give a new file does not come.
TEST_F(InPlace, AReplacementKeepsTheFilesAccessListNotTheFoldersDefault) {
    const auto accessList = [](const fw::FolderItem& file) {
        std::string list(1024, '\0');
        const ssize_t size =
            ::getxattr(file.Path().c_str(), "system.posix_acl_access", list.data(), list.size());
        return list.substr(0, size < 0 ? 0 : static_cast<std::size_t>(size));
    };
    const auto setfacl = [](const std::string& what, const std::filesystem::path& where) {
        return std::system(("setfacl " + what + " '" + where.string() + "'").c_str()) == 0;
    };
    const fw::FolderItem plain = File("plain.plist");
    WriteRaw(file_, Text(1));
    WriteRaw(plain, Text(1));
    ASSERT_TRUE(setfacl("-m u:54321:r", file_.Path()) && setfacl("-d -m u:54321:rw", folder_))
        << "setfacl is missing (Debian's acl), or " << folder_ << " takes no access lists";
    const std::string list = accessList(file_);
    ASSERT_NE(list, "");
    for (const fw::FolderItem& file : {file_, plain}) {
        plist doc(file);
        Save(doc, Text(2), {.newFiles = true});
        EXPECT_EQ(doc.saveFailureReason, "");
    }
    EXPECT_EQ(accessList(file_), list);
    EXPECT_EQ(accessList(plain), "");
}
