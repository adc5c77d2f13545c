#include "framework/core/FolderItem.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fw {

namespace fs = std::filesystem;

bool FolderItem::Exists() const {
    std::error_code ec;
    return !path_.empty() && fs::exists(path_, ec);
}

bool FolderItem::IsFolder() const {
    std::error_code ec;
    return !path_.empty() && fs::is_directory(path_, ec);
}

FolderItem FolderItem::Child(std::string_view name) const {
    // An item of no folder has no children: the name alone would be taken
    // in the current folder.
    if (path_.empty()) {
        return FolderItem();
    }
    // A name is always taken inside this folder, never as a path of its own.
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    return FolderItem(path_ / fs::path(name));
}

FolderItem FolderItem::Parent() const {
    std::error_code ec;
    fs::path absolute = fs::absolute(path_, ec);
    if (ec) {
        absolute = path_;
    }
    if (!absolute.has_filename()) {
        absolute = absolute.parent_path(); // "a/b/" names "a/b"
    }
    return FolderItem(absolute.parent_path());
}

std::string FolderItem::Name() const {
    fs::path p = path_;
    if (!p.has_filename()) {
        p = p.parent_path();
    }
    return p.filename().string();
}

std::string FolderItem::AbsolutePath() const {
    std::error_code ec;
    fs::path absolute = fs::absolute(path_, ec);
    return (ec ? path_ : absolute).lexically_normal().string();
}

bool FolderItem::CreateAsFolder() const {
    std::error_code ec;
    fs::create_directories(path_, ec);
    return fs::is_directory(path_, ec);
}

std::unique_ptr<TextInputStream> FolderItem::OpenAsTextFile() const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TextInputStream>(new TextInputStream(fd));
}

std::unique_ptr<TextOutputStream> FolderItem::CreateTextFile() const {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<TextOutputStream>(new TextOutputStream(fd, {}, {}));
}

std::unique_ptr<TextOutputStream> FolderItem::CreateTextFileSafely() const {
    if (path_.empty()) {
        return nullptr;
    }
    std::error_code ec;
    fs::path target = path_;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    if (!target.has_filename()) {
        return nullptr;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // The replacement keeps the permissions of the file it replaces; a new
    // file stays private to the user.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        ::fchmod(fd, info.st_mode & 07777);
    }
    return std::unique_ptr<TextOutputStream>(
        new TextOutputStream(fd, std::string(name.data()), target.string()));
}

namespace {
// Set by tests only; empty for the user's own folder.
fs::path& PreferencesFolderOverride() {
    static fs::path folder;
    return folder;
}
} // namespace

fs::path SetPreferencesFolderForTesting(fs::path folder) {
    PreferencesFolderOverride().swap(folder);
    return folder;
}

FolderItem PreferencesFolderFor(const char* home, const char* configHome, const char* accountHome) {
    if (home == nullptr || *home == '\0') {
        home = accountHome;
    }
#ifndef __APPLE__
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is invalid.
    if (configHome != nullptr && configHome[0] == '/') {
        return FolderItem(fs::path(configHome));
    }
#else
    (void)configHome;
#endif
    if (home == nullptr || *home == '\0') {
        return FolderItem(); // never a folder below the current one
    }
#ifdef __APPLE__
    return FolderItem(fs::path(home) / "Library" / "Preferences");
#else
    return FolderItem(fs::path(home) / ".config");
#endif
}

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? fs::path(home) : fs::path();
}

FolderItem PreferencesFolder() {
    if (!PreferencesFolderOverride().empty()) {
        return FolderItem(PreferencesFolderOverride());
    }
    return PreferencesFolderFor(HomeFolder().c_str(), std::getenv("XDG_CONFIG_HOME"), nullptr);
}

} // namespace fw
