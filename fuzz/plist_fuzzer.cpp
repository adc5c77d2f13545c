// Reads arbitrary bytes as a property-list file, saves what was read, and
// reads that again, all in memory: nothing may crash or leak, what was saved
// must read back in full, and a file that was read in full must save to the
// same tree.
#include "plist/PlistCompare.h"
#include "plist/plist.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    plist first;
    first.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string saved = first.SaveToBytes();
    plist second;
    second.LoadFromBytes(saved);
    if (!second.FullyRead()) {
        Fail("what was saved does not read back in full", second.readFailureReason);
    }
    if (first.FullyRead()) {
        const std::string difference = CompareDocuments(first, second);
        if (!difference.empty()) {
            Fail("a file read in full saves to another tree", difference);
        }
    }
    return 0;
}
