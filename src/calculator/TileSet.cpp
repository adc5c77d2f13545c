#include "calculator/TileSet.h"

namespace calc {

std::string_view TileSymbolText(int symbol) noexcept {
    static constexpr std::string_view kSymbols = "_ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (symbol < 0 || symbol >= kSymbolCount) {
        return {};
    }
    return kSymbols.substr(static_cast<std::size_t>(symbol), 1);
}

} // namespace calc
