// Reads arbitrary bytes as a property-list file, saves what was read, and
// reads that again: nothing may crash or leak, and the second reading must
// hold exactly what the first did.
#include "framework/core/FolderItem.h"
#include "plist/PlistCompare.h"
#include "plist/plist.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A private folder for the two files, removed when the run ends.
struct WorkFolder {
    WorkFolder() {
        // Saving syncs to disk; a memory file system keeps that cheap.
        std::filesystem::path base = "/dev/shm";
        std::error_code ec;
        if (!std::filesystem::is_directory(base, ec)) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "tallorix-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

const std::filesystem::path& Folder() {
    static const WorkFolder folder;
    return folder.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const fw::FolderItem input = fw::FolderItem(Folder()).Child("input.plist");
    const fw::FolderItem saved = fw::FolderItem(Folder()).Child("saved.plist");
    {
        std::ofstream out(input.Path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::error_code ec;
    std::filesystem::remove(saved.Path(), ec);
    plist first(saved, input); // reads the input, saves to the other file
    first.Save();
    if (first.error && first.errorMessage == "Could not open file for saving") {
        std::fprintf(stderr, "saving failed\n");
        std::abort();
    }
    plist second(saved);
    const std::string difference = CompareDocuments(first, second);
    if (!difference.empty()) {
        std::fprintf(stderr, "second reading differs: ");
        std::fwrite(difference.data(), 1, difference.size(), stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
    return 0;
}
