// Reads arbitrary bytes as a property-list file, saves what was read, and
// reads that again, all in memory: nothing may crash or leak, and the second
// reading must hold exactly what the first did.
#include "plist/PlistCompare.h"
#include "plist/plist.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    plist first;
    first.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string saved = first.SaveToBytes();
    plist second;
    second.LoadFromBytes(saved);
    if (!second.FullyRead()) {
        std::fprintf(stderr, "what was saved does not read back in full\n");
        std::abort();
    }
    const std::string difference = CompareDocuments(first, second);
    if (!difference.empty()) {
        std::fprintf(stderr, "second reading differs: ");
        std::fwrite(difference.data(), 1, difference.size(), stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
    return 0;
}
