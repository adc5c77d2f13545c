#include "framework/core/FolderItem.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using fw::FolderItem;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tempFolder_.Valid());
        root_ = tempFolder_.Path();
    }
    void WriteRaw(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string ReadRaw(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> ReadLines(const FolderItem& f) {
        auto in = f.OpenAsTextFile();
        std::vector<std::string> lines;
        while (in && !in->EndOfFile()) {
            lines.push_back(in->ReadLine());
        }
        return lines;
    }
    TempFolder tempFolder_{"tallorix-files"};
    fs::path root_;
};

} // namespace

TEST_F(Files, ReadLineDropsEveryKindOfLineEnd) {
    FolderItem f(root_ / "lines.txt");
    WriteRaw(f.Path(), "lf\ncrlf\r\ncr\r\r\nlast");
    EXPECT_EQ(ReadLines(f), (std::vector<std::string>{"lf", "crlf", "cr", "", "last"}));

    WriteRaw(f.Path(), "one\n");
    EXPECT_EQ(ReadLines(f), (std::vector<std::string>{"one"}));

    WriteRaw(f.Path(), "");
    auto in = f.OpenAsTextFile();
    ASSERT_TRUE(in);
    EXPECT_TRUE(in->EndOfFile());
    EXPECT_EQ(in->ReadLine(), "");
}

TEST_F(Files, LongLinesAndLineEndsAcrossTheReadBuffer) {
    // A CR LF split over two buffer fills must still count as one line end.
    std::string first(64 * 1024 - 1, 'x');
    std::string second(200000, 'y');
    FolderItem f(root_ / "long.txt");
    WriteRaw(f.Path(), first + "\r\n" + second + "\r");
    EXPECT_EQ(ReadLines(f), (std::vector<std::string>{first, second}));
}

TEST_F(Files, MissingThingsGiveNoStream) {
    FolderItem missingFolder = FolderItem(root_).Child("nowhere");
    EXPECT_FALSE(missingFolder.Exists());
    EXPECT_EQ(missingFolder.Child("a.txt").CreateTextFile(), nullptr);
    EXPECT_EQ(missingFolder.Child("a.txt").CreateTextFileSafely(), nullptr);
    EXPECT_EQ(missingFolder.Child("a.txt").OpenAsTextFile(), nullptr);
    EXPECT_EQ(FolderItem(root_).OpenAsTextFile(), nullptr); // a folder is no text file

    EXPECT_TRUE(missingFolder.Child("x").Child("y").CreateAsFolder());
    EXPECT_TRUE(missingFolder.Child("x").IsFolder());
    EXPECT_EQ(missingFolder.Child("x").Child("y").Parent().AbsolutePath(),
              missingFolder.Child("x").AbsolutePath());
    EXPECT_EQ(FolderItem(root_).Child("/etc").AbsolutePath(), (root_ / "etc").string());
    EXPECT_EQ(FolderItem(root_).Child("a.plist").Name(), "a.plist");
}

TEST_F(Files, WriteLineWritesTheTextAndOneLineEnd) {
    FolderItem f(root_ / "out.txt");
    auto out = f.CreateTextFile();
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->WriteLine("a"));
    EXPECT_TRUE(out->WriteLine(""));
    EXPECT_TRUE(out->Write("b"));
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(ReadRaw(f.Path()), "a\n\nb");
}

TEST_F(Files, SafeWriteReplacesOnlyOnSuccessfulClose) {
    FolderItem f(root_ / "prefs.plist");
    WriteRaw(f.Path(), "old");
    ::chmod(f.Path().c_str(), 0640);
    {
        auto out = f.CreateTextFileSafely();
        ASSERT_TRUE(out);
        out->WriteLine("new");
        EXPECT_EQ(ReadRaw(f.Path()), "old"); // untouched while writing
        // Destroyed without Close: the target stays as it was.
    }
    EXPECT_EQ(ReadRaw(f.Path()), "old");
    auto out = f.CreateTextFileSafely();
    ASSERT_TRUE(out);
    out->WriteLine("new");
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(ReadRaw(f.Path()), "new\n");
    struct stat info {};
    ASSERT_EQ(::stat(f.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // No temporary file is left behind either way.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(Files, SafeWriteFollowsASymbolicLink) {
    fs::create_directory(root_ / "real");
    WriteRaw(root_ / "real" / "p.plist", "old");
    fs::create_symlink(root_ / "real" / "p.plist", root_ / "link.plist");
    auto out = FolderItem(root_ / "link.plist").CreateTextFileSafely();
    ASSERT_TRUE(out);
    out->WriteLine("new");
    EXPECT_TRUE(out->Close());
    EXPECT_TRUE(fs::is_symlink(root_ / "link.plist"));
    EXPECT_EQ(ReadRaw(root_ / "real" / "p.plist"), "new\n");
}

TEST_F(Files, AFailedWriteIsReportedAndKeepsTheOldFile) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    // A direct stream on a full disk reports the failure at the latest on Close.
    auto full = FolderItem("/dev/full").CreateTextFile();
    ASSERT_TRUE(full);
    full->WriteLine("x");
    EXPECT_FALSE(full->Close());
    EXPECT_TRUE(full->Failed());
    EXPECT_FALSE(full->WriteLine("more"));

    // A safe stream whose rename fails (the target is a folder) keeps it.
    fs::create_directory(root_ / "taken");
    WriteRaw(root_ / "taken" / "inside", "keep");
    auto out = FolderItem(root_ / "taken").CreateTextFileSafely();
    ASSERT_TRUE(out);
    out->WriteLine("x");
    EXPECT_FALSE(out->Close());
    EXPECT_EQ(ReadRaw(root_ / "taken" / "inside"), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST(PreferencesFolder, FollowsTheEnvironment) {
    // The user's folder as the program finds it; the tests' own is set aside.
    const fs::path testFolder = fw::SetPreferencesFolderForTesting({});
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(fw::PreferencesFolder().AbsolutePath(), "/cfg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(fw::PreferencesFolder().AbsolutePath(), "/home/someone/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(fw::PreferencesFolder().AbsolutePath(), "/home/someone/.config");
    oldXdg ? ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
    fw::SetPreferencesFolderForTesting(testFolder);
}
