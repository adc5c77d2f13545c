// Replacing the file: failures at each step, what interrupted saves left
// behind, permissions, and folders that take no new files.
#include "PlistTestSupport.h"
#include "plist/FileAccess.h"
#include "plist/plistDict.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Makes one of the calls of saving fail while it lives.
class FailingCall {
public:
    enum Step { Open, Fsync, Close, Rename };
    FailingCall(Step step, int error) {
        calls_ = plistio::CurrentSystemCalls();
        error_ = error;
        switch (step) {
        case Open:
            calls_.open = [](const char* path, int flags, mode_t mode) {
                // Only new files fail, as in a folder that takes none.
                if ((flags & O_CREAT) != 0) {
                    errno = error_;
                    return -1;
                }
                return ::open(path, flags, mode);
            };
            break;
        case Fsync:
            calls_.fsync = [](int) {
                errno = error_;
                return -1;
            };
            break;
        case Close:
            calls_.close = [](int fd) {
                ::close(fd);
                errno = error_;
                return -1;
            };
            break;
        case Rename:
            calls_.rename = [](const char*, const char*) {
                errno = error_;
                return -1;
            };
            break;
        }
        plistio::ReplaceSystemCalls(&calls_);
    }
    ~FailingCall() { plistio::ReplaceSystemCalls(nullptr); }
    FailingCall(const FailingCall&) = delete;
    FailingCall& operator=(const FailingCall&) = delete;

private:
    plistio::SystemCalls calls_{};
    static inline int error_ = 0;
};

class Saving : public PlistTest {
protected:
    int EntriesInFolder() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder_),
                                              std::filesystem::directory_iterator()));
    }
};

} // namespace

TEST_F(Saving, AFailedFsyncCloseOrRenameKeepsTheOldFileAndSaysWhy) {
    const fw::FolderItem file = File("prefs.plist");
    const std::string old = Head() + "\t<key>k</key>\n\t<true/>\n" + Tail();
    const std::pair<FailingCall::Step, int> failures[] = {
        {FailingCall::Fsync, EIO}, {FailingCall::Close, ENOSPC}, {FailingCall::Rename, EXDEV}};
    for (const auto& [step, error] : failures) {
        SCOPED_TRACE(error);
        WriteRaw(file, old);
        plist doc(file);
        doc.root->SetBoolean("k", false);
        {
            FailingCall failing(step, error);
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
    WriteRaw(file, Head() + "\t<key>long</key>\n\t<string>" + std::string(500, 'x') +
                       "</string>\n" + Tail());
    plist doc(file);
    doc.root->Remove("long");
    doc.root->SetBoolean("k", true);
    {
        FailingCall failing(FailingCall::Open, EACCES);
        doc.Save();
    }
    EXPECT_EQ(doc.saveFailureReason, "");
    EXPECT_EQ(ReadRaw(file), Head() + "\t<key>k</key>\n\t<true/>\n" + Tail());

    // A file that could not be read is never overwritten in place: it could
    // not be kept aside first.
    WriteRaw(file, "not a property list");
    plist foreign(file);
    {
        FailingCall failing(FailingCall::Open, EACCES);
        ::chmod(folder_.c_str(), 0555);
        foreign.Save();
        ::chmod(folder_.c_str(), 0755);
    }
    EXPECT_EQ(foreign.errorMessage, "Could not open file for saving");
    EXPECT_EQ(ReadRaw(file), "not a property list");
    // A file that doesn't exist yet can't be written without a new file.
    plist fresh(File("new.plist"));
    {
        FailingCall failing(FailingCall::Open, EROFS);
        fresh.Save();
    }
    EXPECT_EQ(fresh.saveFailureReason, std::strerror(EROFS));
    EXPECT_FALSE(File("new.plist").Exists());
}

TEST_F(Saving, LeftoversOfInterruptedSavesAreRemovedButNotThoseOfRunningOnes) {
    // A process that has ended, and one that still runs.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = ".prefs.plist.tmp-" + std::to_string(child) + "-0123456789abcdef";
    const std::string running = ".prefs.plist.tmp-" + std::to_string(::getppid()) + "-00ff";
    const std::string otherFile = ".other.plist.tmp-" + std::to_string(child) + "-0a";
    const std::string notOurs = ".prefs.plist.tmp-" + std::to_string(child) + "-notours";
    for (const std::string& name : {dead, running, otherFile, notOurs}) {
        WriteRaw(File(name), std::string(1000, 'x'));
    }
    plist doc(File("prefs.plist"));
    doc.Save();
    EXPECT_FALSE(File(dead).Exists());
    EXPECT_TRUE(File(running).Exists());
    EXPECT_TRUE(File(otherFile).Exists());
    EXPECT_TRUE(File(notOurs).Exists());
    EXPECT_EQ(EntriesInFolder(), 4);
}

TEST_F(Saving, NewFilesGetNormalPermissionsAndReadableFilesKeepTheirs) {
    const mode_t oldMask = ::umask(022);
    plist fresh(File("fresh.plist"));
    fresh.Save();
    struct stat info {};
    ASSERT_EQ(::stat(File("fresh.plist").Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);

    WriteRaw(File("private.plist"), Head() + Tail());
    ::chmod(File("private.plist").Path().c_str(), 0600);
    plist kept(File("private.plist"));
    kept.Save();
    ASSERT_EQ(::stat(File("private.plist").Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // A file of mode 000 never passes that on: the owner can always read
    // the new one.
    WriteRaw(File("locked.plist"), Head() + "\t<key>k</key>\n\t<true/>\n" + Tail());
    ::chmod(File("locked.plist").Path().c_str(), 0);
    plist locked(File("locked.plist"));
    locked.Save();
    ASSERT_EQ(::stat(File("locked.plist").Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0600, 0600u);
    ::umask(oldMask);
}
