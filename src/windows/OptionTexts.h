#pragma once

// The captions and help texts of the eight option controls, which the
// calculator window's options panel and the preferences window both show.
namespace OptionTexts {

inline constexpr const char* kSpecialSpaces = "Enable special board spaces";
inline constexpr const char* kSpecialSpacesHelp =
    "Double word score, triple letter score, etc.\r"
    "Word length enforcement will be turned on automatically.";
inline constexpr const char* kUniqueScores = "Only display unique scores";
inline constexpr const char* kUniqueScoresHelp =
    "Only display a specific score once, no matter how many board positions can make it.";
inline constexpr const char* kCenterSquare = "Center square is double word score";
inline constexpr const char* kWordLength = "Enforce maximum word length";
inline constexpr const char* kWordLengthHelp = "A board only supports words up to 15 letters.";
inline constexpr const char* kAlphabet = "Enforce alphabet constraints";
inline constexpr const char* kAlphabetHelp =
    "Whether you can use as many letters as you want, or only what is included in Quadrelle";
inline constexpr const char* kIndividualWords = "Individual words";
inline constexpr const char* kIndividualWordsHelp =
    "Each word starts with a complete set of Quadrelle tiles\r"
    "If you switch from tracking tile counts on a per-board basis to a per-word basis the "
    "Tiles Left count will be reset.";
inline constexpr const char* kCombinedWords = "Combined words";
inline constexpr const char* kCombinedWordsHelp = "All words use the same set of Quadrelle tiles";
inline constexpr const char* kBlankTiles = "Enable automatic blank tiles";
inline constexpr const char* kBlankTilesHelp = "Use blank tiles for letters that run short";

} // namespace OptionTexts
