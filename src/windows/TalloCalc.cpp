#include "windows/TalloCalc.h"

#include "app/App.h"
#include "app/MenuBar1.h"
#include "calculator/LetterValues.h"
#include "calculator/Scoring.h"
#include "calculator/TileTest.h"
#include "framework/core/Strings.h"
#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/ProgressWheel.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/StaticText.h"
#include "windows/TalloCalcDesign.h"
#include "windows/tilesetWindow.h"

#include <QString>
#include <string_view>

namespace {

// How much the open sequence narrows the window: the window's own tile list
// then lies beyond its right edge.
constexpr int kTileListWidth = 165;

// The option controls, by their rows in the option table.
constexpr std::size_t kSpecialSpaces = prefs::OptionRow("cb_specialSpaces");
constexpr std::size_t kUniqueScores = prefs::OptionRow("cb_uniqueScores");
constexpr std::size_t kCenterSquare = prefs::OptionRow("cb_centerSquare");
constexpr std::size_t kWordLength = prefs::OptionRow("cb_wordLength");
constexpr std::size_t kAlphabet = prefs::OptionRow("cb_alphabet");
constexpr std::size_t kBlankTiles = prefs::OptionRow("cb_blankTiles");
constexpr std::size_t kIndividualWords = prefs::OptionRow("rb_alphabet", 0);
constexpr std::size_t kCombinedWords = prefs::OptionRow("rb_alphabet", 1);

constexpr const char* kShowLetters = "Show Letters";
constexpr const char* kHideLetters = "Hide Letters";

constexpr const char* kLengthViolation = "Quadrelle boards are only 15 spaces across. ";
constexpr const char* kLetterCountViolation = "Letter count violation. ";
constexpr const char* kTileCountViolation = "Tile count violation. ";

// The keys the word field takes: letters of either case, "_", space,
// Backspace, Delete, Left, Right, Return and Enter.
constexpr std::string_view kWordKeys = "abcdefghijklmnopqrstuvwxyz_ \x08\x7f\x1c\x1d\r\x03";

} // namespace

// The list lets go of the rows before they go.
TalloCalc::~TalloCalc() {
    if (results_ != nullptr) {
        results_->SetModel(nullptr);
    }
}

void TalloCalc::Layout() {
    SetMenuBar(MenuBar1::instance());
    // The open sequence narrows the window to 403 and collapses it to 369.
    ApplyDesign({.title = "Tallorix",
                 .width = 568,
                 .height = 551,
                 .placement = fw::WindowPlacement::ParentWindow});
}

// Each control takes its design values before its handler is installed, so
// building the window raises no event.
void TalloCalc::CreateControls0() {
    QWidget* previous = nullptr;
    for (const CalcControlRow& row : Design()) {
        fw::Control* control = row.make(*this, row);
        QWidget* widget = control->Widget();
        widget->setAttribute(Qt::WA_MacShowFocusRect, row.focusRing);
        if (row.action != nullptr) {
            control->OnAction([this, action = row.action] { (this->*action)(); });
        }
        // The keyboard moves through the controls in the order of the table.
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
}

void TalloCalc::BindControls() {
    options_ = BindOptions(*this);
    optionsPanel_ = BindControl<fw::GroupBox>("gb_Options");
    optionsTriangle_ = BindControl<fw::DisclosureTriangle>("dt_Options");
    word_ = BindControl<fw::EditField>("tbox_Word");
    message_ = BindControl<fw::StaticText>("lbl_error");
    results_ = BindControl<fw::Listbox>("lbox_wordValue");
    letters_ = BindControl<fw::PushButton>("btn_Letters");
    clearList_ = BindControl<fw::PushButton>("btn_clearList");
    busy_ = BindControl<fw::ProgressWheel>("ChasingArrows1");
    auto* caption = BindControl<fw::StaticText>("StaticText1");
    if (caption != nullptr && word_ != nullptr && results_ != nullptr) {
        // The caption before the word field is its name for a screen reader.
        caption->setBuddy(word_);
        results_->SetModel(&myResultsModel);
    }
}

void TalloCalc::AddMenuHandlers() {
    AddMenuHandler("FileClose", [this] { return FileClose_Action(); });
}

void TalloCalc::Event_Open() {
    App* app = App::instance();
    app->numWindows = app->numWindows + 1;
    SetTitle("Tallorix " + std::to_string(app->numWindows));
    SetWidth(Width() - kTileListWidth);

    myTileWindow = fw::NewWindow<tilesetWindow>(this);
    myTileWindow->Hide();

    optionsTriangle_->SetValue(false);

    resetTiles();
    resetBoard();

    ShowOptions(options_, *app);

    // The word field is the first control that takes typing.
    word_->setFocus();
}

bool TalloCalc::FileClose_Action() {
    Close();
    return false;
}

// While special board spaces are on, word length is enforced and cannot be
// turned off; unique scores and the centre square only matter then.
void TalloCalc::cb_specialSpaces_Action() {
    const bool on = Option(kSpecialSpaces).Value();
    Option(kUniqueScores).SetEnabled(on);
    Option(kCenterSquare).SetEnabled(on);
    fw::ValueControl& wordLength = Option(kWordLength);
    if (on) {
        wordLength.SetValue(true);
        wordLength.SetEnabled(false);
    } else {
        wordLength.SetEnabled(true);
    }
}

void TalloCalc::rb_alphabet_Action() {
    resetTiles();
}

void TalloCalc::cb_alphabet_Action() {
    const bool on = Option(kAlphabet).Value();
    Option(kIndividualWords).SetEnabled(on);
    Option(kCombinedWords).SetEnabled(on);
    Option(kBlankTiles).SetEnabled(on);
}

void TalloCalc::btn_Calc_Action() {
    ShowBusy(true);
    if (!word_->Text().empty()) {
        Calculate();
    }
    ShowBusy(false);
}

bool TalloCalc::tbox_Word_KeyDown(const std::string& key) {
    return fw::InStr(kWordKeys, key) == 0;
}

bool TalloCalc::lbox_wordValue_CompareRows(int row1, int row2, int column, int& result) {
    return myResults.CompareRows(row1, row2, column, result);
}

void TalloCalc::btn_Board_Action() {
    App::instance()->showBoard();
}

// The caption is the only record of whether the drawer shows.
void TalloCalc::btn_Letters_Action() {
    if (letters_->Caption() == kShowLetters) {
        letters_->SetCaption(kHideLetters);
        if (myTileWindow != nullptr) {
            myTileWindow->Show();
        }
    } else {
        letters_->SetCaption(kShowLetters);
        if (myTileWindow != nullptr) {
            myTileWindow->Hide();
        }
    }
}

void TalloCalc::dt_Options_Action() {
    const bool open = optionsTriangle_->Value();
    // The window grows and shrinks by the panel's own height.
    optionsPanel_->SetVisible(open);
    SetHeight(open ? Height() + optionsPanel_->Height() : Height() - optionsPanel_->Height());
}

// The word field, the message line, the options and the board stay as they are.
void TalloCalc::btn_clearList_Action() {
    ShowBusy(true);
    results_->DeleteAllRows();
    resetTiles();
    clearList_->SetEnabled(false);
    ShowBusy(false);
}

std::int32_t TalloCalc::CalculateSingle(const std::string& word) {
    return calc::CalculateSingle(word);
}

void TalloCalc::CalculateMulti(const std::string& word) {
    std::vector<std::int32_t> scores;
    calc::PlacementScores(word, theBoard, Option(kCenterSquare).Value(), scores);
    if (Option(kUniqueScores).Value()) {
        // Pruning reorders the whole list.
        myResults.AddPlacementRows(word, scores, true);
        results_->RowsChanged();
        results_->RowsSortedBy(0);
    } else {
        results_->AppendRows(static_cast<int>(scores.size()),
                             [&] { myResults.AddPlacementRows(word, scores, false); });
    }
}

std::int32_t TalloCalc::CalcLetter(const std::string& letter) {
    return calc::CalcLetter(letter);
}

void TalloCalc::resetTiles() {
    tileset = calc::kTileDistribution;
    myTileset = calc::kTileDistribution;
    refreshTileList();
}

bool TalloCalc::countTiles(const std::string& word, bool commit, bool consume) {
    if (!commit) {
        resetTiles();
    }
    const calc::TileTestResult test =
        calc::countTiles(word, myTileset, commit, Option(kBlankTiles).Value());
    if (test.fits && commit && consume) {
        myTileset = test.left;
        refreshTileList();
    }
    if (test.rebuilt) {
        word_->SetText(test.word);
    }
    return test.fits;
}

std::int32_t TalloCalc::countLetter(const std::string& character, const std::string& word) {
    if (character.empty()) {
        return 0;
    }
    std::size_t pos = 0;
    return calc::countLetter(fw::NextCodePoint(character, pos), word);
}

std::int32_t TalloCalc::countLetterB(int symbol, const std::string& word) {
    return calc::countLetterB(symbol, word);
}

// A symbol's row is found by its text, so a drawer that the user sorted by a
// column still shows each count in the right row.
void TalloCalc::refreshTileList() {
    if (myTileWindow == nullptr) {
        return;
    }
    fw::Listbox* list = myTileWindow->TileList();
    for (int symbol = 0; symbol < calc::kSymbolCount; ++symbol) {
        fw::BackgroundYield();
        const std::string_view text = calc::TileSymbolText(symbol);
        for (int row = 0; row < list->RowCount(); ++row) {
            if (list->Cell(row, 0) == text) {
                list->SetCell(row, 2, std::to_string(myTileset[symbol]));
                break;
            }
        }
    }
}

void TalloCalc::resetBoard() {
    calc::resetBoard(theBoard);
}

bool TalloCalc::Calculate() {
    if (word_->Text().empty()) {
        return false;
    }
    normalizeWord();
    const std::string word = word_->Text();
    message_->SetVisible(false);
    std::string line = word + ":";

    bool failed = false;
    if (Option(kWordLength).Value() && fw::CharacterCount(word) > calc::kMaxWordLength) {
        failed = true;
        line += kLengthViolation;
    }
    if (Option(kAlphabet).Value()) {
        const bool individual = Option(kIndividualWords).Value();
        // A word that will not be listed uses up no tiles.
        if (!countTiles(word_->Text(), !individual, !failed)) {
            failed = true;
            line += individual ? kLetterCountViolation : kTileCountViolation;
        }
    }
    message_->SetText(line);
    if (failed) {
        message_->SetVisible(true);
        return true;
    }

    const std::string listed = word_->Text();
    if (Option(kSpecialSpaces).Value()) {
        CalculateMulti(listed);
    } else {
        const std::int32_t score = CalculateSingle(listed);
        results_->AppendRows(1, [&] { myResults.AddRow(listed, score); });
    }
    word_->SetText("");
    clearList_->SetEnabled(true);
    return false;
}

// The rows end in word order, and the heading says so.
void TalloCalc::CompressResults() {
    myResults.CompressResults();
    results_->RowsChanged();
    results_->RowsSortedBy(0);
}

void TalloCalc::normalizeWord() {
    // Only a-z change: the letters that are tiles. Anything else keeps its
    // form and its length, so the word can't outgrow the field.
    word_->SetText(fw::Uppercase(word_->Text()));
}

void TalloCalc::ShowBusy(bool busy) {
    busy_->SetVisible(busy);
}
