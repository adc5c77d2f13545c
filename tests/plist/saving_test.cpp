// Replacing the file: failures at each step, what interrupted saves left
// behind, permissions, symbolic links, and folders that take no new files.
#include "PlistTestSupport.h"
#include "plist/FileAccess.h"
#include "plist/plistDict.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the system calls of reading and saving do wrong, for as long as a
// FaultySystem lives. Zero is no fault; others are error numbers.
struct Faults {
    int createFile = 0;          // new files in the folder (one that takes none)
    std::string unreadable = {}; // a file that can't be opened for reading
    int fsync = 0;               //
    bool crashAtFsync = false;
    int close = 0;
    int rename = 0;
    int flock = 0; // the save lock
};

class FaultySystem {
public:
    explicit FaultySystem(Faults faults) {
        faults_ = std::move(faults);
        calls_ = plistio::CurrentSystemCalls();
        calls_.open = [](const char* path, int flags, mode_t mode) {
            if (((flags & O_CREAT) != 0 && faults_.createFile != 0) ||
                ((flags & O_ACCMODE) == O_RDONLY && path == faults_.unreadable)) {
                errno = (flags & O_CREAT) != 0 ? faults_.createFile : EACCES;
                return -1;
            }
            return ::open(path, flags, mode);
        };
        calls_.fsync = [](int fd) {
            if (faults_.crashAtFsync) {
                ::_exit(0); // a save that never finished
            }
            return Fail(faults_.fsync) ? -1 : ::fsync(fd);
        };
        calls_.close = [](int fd) {
            ::close(fd);
            return Fail(faults_.close) ? -1 : 0;
        };
        calls_.rename = [](const char* from, const char* to) {
            return Fail(faults_.rename) ? -1 : ::rename(from, to);
        };
        calls_.flock = [](int fd, int operation) {
            return Fail(faults_.flock) ? -1 : ::flock(fd, operation);
        };
        plistio::ReplaceSystemCalls(&calls_);
    }
    ~FaultySystem() { plistio::ReplaceSystemCalls(nullptr); }
    FaultySystem(const FaultySystem&) = delete;
    FaultySystem& operator=(const FaultySystem&) = delete;

private:
    static bool Fail(int error) {
        errno = error;
        return error != 0;
    }

    plistio::SystemCalls calls_{};
    static inline Faults faults_;
};

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
    std::string Body(const std::string& key, const std::string& value) const {
        return Head() + "\t<key>" + key + "</key>\n\t<string>" + value + "</string>\n" + Tail();
    }
};

} // namespace

TEST_F(Saving, AFailedFsyncCloseOrRenameKeepsTheOldFileAndSaysWhy) {
    const fw::FolderItem file = File("prefs.plist");
    const std::string old = Head() + "\t<key>k</key>\n\t<true/>\n" + Tail();
    const std::pair<Faults, int> failures[] = {
        {{.fsync = EIO}, EIO}, {{.close = ENOSPC}, ENOSPC}, {{.rename = EXDEV}, EXDEV}};
    for (const auto& [faults, error] : failures) {
        SCOPED_TRACE(error);
        WriteRaw(file, old);
        plist doc(file);
        doc.root->SetBoolean("k", false);
        {
            FaultySystem faulty(faults);
            doc.Save();
        }
        EXPECT_TRUE(doc.error);
        EXPECT_EQ(doc.errorMessage, "Could not open file for saving");
        EXPECT_EQ(doc.saveFailureReason, std::strerror(error));
        EXPECT_EQ(ReadRaw(file), old);
        EXPECT_EQ(EntriesInFolder(), 1); // no temporary file left behind

        doc.Save(); // the next save clears the reason
        EXPECT_EQ(doc.saveFailureReason, "");
        EXPECT_FALSE(plist(file).root->GetBoolean("k"));
    }
}

TEST_F(Saving, WithoutNewFilesInTheFolderTheFileIsWrittenInPlace) {
    const fw::FolderItem file = File("prefs.plist");
    WriteRaw(file, Body("long", std::string(500, 'x')));
    plist doc(file);
    doc.root->Remove("long");
    doc.root->SetBoolean("k", true);
    {
        FaultySystem faulty({.createFile = EACCES});
        doc.Save();
    }
    EXPECT_EQ(doc.saveFailureReason, "");
    EXPECT_EQ(ReadRaw(file), Head() + "\t<key>k</key>\n\t<true/>\n" + Tail());

    // A file that could not be read is never overwritten in place: it could
    // not be kept aside first.
    WriteRaw(file, "not a property list");
    plist foreign(file);
    {
        FaultySystem faulty({.createFile = EACCES});
        ::chmod(folder_.c_str(), 0555);
        foreign.Save();
        ::chmod(folder_.c_str(), 0755);
    }
    EXPECT_EQ(foreign.errorMessage, "Could not open file for saving");
    EXPECT_EQ(ReadRaw(file), "not a property list");
    // A file that doesn't exist yet can't be written without a new file.
    plist fresh(File("new.plist"));
    {
        FaultySystem faulty({.createFile = EROFS});
        fresh.Save();
    }
    EXPECT_EQ(fresh.saveFailureReason, std::strerror(EROFS));
    EXPECT_FALSE(File("new.plist").Exists());
}

// What a save that never finished leaves is what the next save removes: a
// file named ".<name>.tmp-<process id>-<hex digits>". Under the save lock no
// other save of the file runs, so whatever process id the name holds (one
// still running, this one, one of another PID namespace) it is a leftover;
// those of other files, and other names, stay. Without the lock (a file
// system without locks) nothing is removed.
TEST_F(Saving, LeftoversOfSavesThatDiedAreRemovedOnlyUnderTheLock) {
    plist doc(File("prefs.plist"));
    doc.root->SetBoolean("k", true);
    const pid_t child = ::fork();
    if (child == 0) {
        FaultySystem faulty({.crashAtFsync = true});
        doc.Save();
        ::_exit(1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string prefix = ".prefs.plist.tmp-" + std::to_string(child) + "-";
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        left.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(left.size(), 1u);
    ASSERT_TRUE(left[0].starts_with(prefix)) << left[0];
    const std::string digits = left[0].substr(prefix.size());
    EXPECT_FALSE(digits.empty());
    EXPECT_EQ(digits.find_first_not_of("0123456789abcdefABCDEF"), std::string::npos) << left[0];

    const std::string running = ".prefs.plist.tmp-" + std::to_string(::getppid()) + "-00ff";
    const std::string self = ".prefs.plist.tmp-" + std::to_string(::getpid()) + "-0a";
    const std::string otherFile = ".other.plist.tmp-" + std::to_string(child) + "-0a";
    const std::string notOurs = prefix + "notours";
    for (const std::string& name : {running, self, otherFile, notOurs}) {
        WriteRaw(File(name), std::string(1000, 'x'));
    }
    {
        FaultySystem faulty({.flock = ENOLCK});
        doc.Save();
    }
    EXPECT_EQ(EntriesInFolder(), 6);
    doc.Save();
    for (const std::string& name : {left[0], running, self}) {
        EXPECT_FALSE(File(name).Exists()) << name;
    }
    EXPECT_TRUE(File(otherFile).Exists());
    EXPECT_TRUE(File(notOurs).Exists());
    EXPECT_EQ(EntriesInFolder(), 3);
}

TEST_F(Saving, FilesKeepTheirModeAndNewOrUnreadableOnesGetTheUsualOne) {
    // A new file gets 0666 less the umask, as other programs make them.
    const mode_t oldMask = ::umask(002);
    struct Row {
        const char* name;
        int mode;        // -1: no file yet
        bool unreadable; // the file can't be opened for reading
        mode_t expected;
    };
    const Row rows[] = {
        {"new.plist", -1, false, 0664},      {"private.plist", 0600, false, 0600},
        {"shared.plist", 0664, false, 0664}, {"readonly.plist", 0444, false, 0444},
        {"locked.plist", 0, true, 0664},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.mode >= 0) {
            WriteRaw(File(row.name), Head() + "\t<key>k</key>\n\t<true/>\n" + Tail());
            ::chmod(File(row.name).Path().c_str(), static_cast<mode_t>(row.mode));
        }
        {
            FaultySystem faulty(
                {.unreadable = row.unreadable ? File(row.name).Path().string() : ""});
            plist doc(File(row.name));
            doc.root->SetBoolean("k", false);
            doc.Save();
            EXPECT_EQ(doc.saveFailureReason, "");
        }
        EXPECT_EQ(Mode(row.name), row.expected);
        EXPECT_FALSE(plist(File(row.name)).root->GetBoolean("k", true));
    }
    ::umask(oldMask);
}

// The links stay; the file at their end is written, or made when it isn't
// there yet. Links that go round in a loop fail the save at once.
TEST_F(Saving, ASymbolicLinkIsWrittenThroughToItsEnd) {
    std::filesystem::create_directory(folder_ / "real");
    // "<name>.plist", then links in "real" up to "real/<name>.plist".
    const auto chain = [](const std::string& name, int links) {
        std::vector<std::pair<std::string, std::string>> chain{
            {name + ".plist", "real/" + name + "1"}};
        for (int i = 1; i < links; ++i) {
            chain.emplace_back("real/" + name + std::to_string(i),
                               name + (i + 1 < links ? std::to_string(i + 1) : ".plist"));
        }
        return chain;
    };
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // name, where it points
        std::string end;                                        // "" when the save fails
        bool endExists;
        int error;
    };
    const Row rows[] = {
        {"to a file", {{"a.plist", "real/a.plist"}}, "real/a.plist", true, 0},
        {"to no file yet", {{"b.plist", "real/b.plist"}}, "real/b.plist", false, 0},
        {"absolute, to no file yet",
         {{"c.plist", (folder_ / "real/c.plist").string()}},
         "real/c.plist",
         false,
         0},
        {"through two links",
         {{"d.plist", "real/d-link"}, {"real/d-link", "d.plist"}},
         "real/d.plist",
         false,
         0},
        {"through 40 links, as the system", chain("g", 40), "real/g.plist", false, 0},
        {"through 41", chain("h", 41), "", false, ELOOP},
        {"into a loop",
         {{"e.plist", "real/e-link"}, {"real/e-link", "../e.plist"}},
         "",
         false,
         ELOOP},
        {"to a missing folder", {{"f.plist", "nowhere/f.plist"}}, "", false, ENOENT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const auto& [name, to] : row.links) {
            std::filesystem::create_symlink(to, folder_ / name);
        }
        if (row.endExists) {
            WriteRaw(File(row.end), Body("old", "x"));
        }
        const fw::FolderItem path = File(row.links.front().first);
        plist doc(path);
        doc.root->SetBoolean("k", true);
        doc.Save();
        for (const auto& link : row.links) {
            EXPECT_TRUE(std::filesystem::is_symlink(folder_ / link.first)) << link.first;
        }
        if (row.end.empty()) {
            EXPECT_TRUE(doc.error);
            EXPECT_EQ(doc.saveFailureReason, std::strerror(row.error));
            continue;
        }
        EXPECT_EQ(doc.saveFailureReason, "");
        EXPECT_TRUE(plist(File(row.end)).root->GetBoolean("k", false));
        EXPECT_EQ(plist(File(row.end)).root->Exists("old"), row.endExists);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "nowhere"));
}

// Keeping aside never replaces an earlier copy: each one takes the next free
// name. A save that fails after keeping aside leaves what was there at its
// path (a folder, which is moved as it can't be linked, put back) and no
// copy of its own.
TEST_F(Saving, EveryKeptCopyIsKeptAndAFailedSaveLeavesTheOriginalAtItsPath) {
    const fw::FolderItem file = File("prefs.plist");
    const fw::FolderItem inside = File("prefs.plist/inside");
    const std::string aside = file.Path().string() + ".unreadable";
    WriteRaw(fw::FolderItem(aside), "earlier copy");
    const Faults failures[] = {{.createFile = EACCES}, {.fsync = EIO}, {.rename = EXDEV}};
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder" : "a damaged file");
        std::filesystem::remove_all(file.Path());
        if (folder) {
            std::filesystem::create_directory(file.Path());
        }
        WriteRaw(folder ? inside : file, "damaged");
        plist doc(file);
        for (const Faults& faults : failures) {
            {
                FaultySystem faulty(faults);
                doc.Save();
            }
            EXPECT_FALSE(doc.saveFailureReason.empty());
            EXPECT_EQ(ReadRaw(folder ? inside : file), "damaged");
            EXPECT_EQ(EntriesInFolder(), folder ? 3 : 2);
        }
        doc.Save();
        const std::string made = aside + (folder ? "-3" : "-2");
        EXPECT_EQ(doc.keptAsidePath, made);
        EXPECT_EQ(ReadRaw(fw::FolderItem(made + (folder ? "/inside" : ""))), "damaged");
        EXPECT_EQ(ReadRaw(fw::FolderItem(aside)), "earlier copy");
        EXPECT_TRUE(plist(file).FullyRead());
    }
}
