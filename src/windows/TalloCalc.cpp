#include "windows/TalloCalc.h"

#include "app/App.h"
#include "app/MenuBar1.h"
#include "calculator/LetterValues.h"
#include "calculator/Scoring.h"
#include "calculator/TileTest.h"
#include "framework/core/Strings.h"
#include "framework/core/Utf8.h"
#include "framework/core/Yield.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/ProgressWheel.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/Separator.h"
#include "framework/gui/StaticText.h"
#include "windows/TalloCalcDesign.h"
#include "windows/tilesetWindow.h"

#include <QColor>
#include <QString>
#include <string_view>

namespace {

// How much the open sequence narrows the window: the window's own tile list
// then lies beyond its right edge.
constexpr int kTileListWidth = 165;

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
    if (fw::Listbox* list = ResultsList()) {
        list->SetModel(nullptr);
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

void TalloCalc::CreateControls() {
    CreateControls0();
}

// Each control takes its design values before its handler is installed, so
// building the window raises no event.
void TalloCalc::CreateControls0() {
    QWidget* previous = nullptr;
    for (const CalcControlRow& row : Design()) {
        const fw::ControlDesign& design = row.design;
        switch (row.kind) {
        case CalcControlKind::GroupBox:
            AddControl<fw::GroupBox>(design);
            break;
        case CalcControlKind::CheckBox:
            AddControl<fw::CheckBox>(design);
            break;
        case CalcControlKind::TileModeButton:
            AddControl<rb_alphabet>(design);
            break;
        case CalcControlKind::PushButton:
            AddControl<fw::PushButton>(design);
            break;
        case CalcControlKind::EditField:
            AddControl<fw::EditField>(design);
            break;
        case CalcControlKind::StaticText:
            AddControl<fw::StaticText>(design);
            break;
        case CalcControlKind::Listbox:
            AddControl<fw::Listbox>(design);
            break;
        case CalcControlKind::DisclosureTriangle:
            AddControl<fw::DisclosureTriangle>(design);
            break;
        case CalcControlKind::Separator:
            AddControl<fw::Separator>(design);
            break;
        case CalcControlKind::ProgressWheel:
            AddControl<fw::ProgressWheel>(design);
            break;
        }
        fw::Control* control = FindControl(design.name, design.index);

        if (auto* label = dynamic_cast<fw::StaticText*>(control);
            label != nullptr && row.textColor != kNoTextColor) {
            label->SetTextColor(QColor::fromRgb(static_cast<QRgb>(row.textColor)));
        }
        if (auto* field = dynamic_cast<fw::EditField*>(control); field != nullptr) {
            field->SetLimitText(row.limitText);
        }
        if (auto* button = dynamic_cast<fw::PushButton*>(control); button && row.isDefault) {
            button->SetDefault(true);
        }
        if (auto* list = dynamic_cast<fw::Listbox*>(control); list != nullptr) {
            if (design.name == "lbox_wordValue") {
                list->SetModel(&myResultsModel);
            }
            list->SetHeadings(row.headings);
            list->SetColumnWidths(row.columnWidths);
            if (row.tileRows) {
                AddTileRows(*list);
            }
        }
        control->Widget()->setAttribute(Qt::WA_MacShowFocusRect, row.focusRing);

        if (const auto* action = std::get_if<CalcActionHandler>(&row.handler)) {
            const CalcActionHandler handler = *action;
            const auto raise = [this, handler] { (this->*handler)(); };
            if (auto* box = dynamic_cast<fw::CheckBox*>(control)) {
                box->OnAction(raise);
            } else if (auto* radio = dynamic_cast<fw::RadioButton*>(control)) {
                radio->OnAction(raise);
            } else if (auto* button = dynamic_cast<fw::PushButton*>(control)) {
                button->OnAction(raise);
            } else if (auto* triangle = dynamic_cast<fw::DisclosureTriangle*>(control)) {
                triangle->OnAction(raise);
            }
        } else if (const auto* keyDown = std::get_if<CalcKeyDownHandler>(&row.handler)) {
            const CalcKeyDownHandler handler = *keyDown;
            dynamic_cast<fw::EditField*>(control)->OnKeyDown(
                [this, handler](const std::string& key) { return (this->*handler)(key); });
        } else if (const auto* compare = std::get_if<CalcCompareRowsHandler>(&row.handler)) {
            const CalcCompareRowsHandler handler = *compare;
            dynamic_cast<fw::Listbox*>(control)->OnCompareRows(
                [this, handler](int row1, int row2, int column, int& result) {
                    return (this->*handler)(row1, row2, column, result);
                });
        }

        // The keyboard moves through the controls in the order of the table.
        QWidget* widget = control->Widget();
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    // The caption before the word field is its name for a screen reader.
    FindControl<fw::StaticText>("StaticText1")->setBuddy(WordField());
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

    FindControl<fw::DisclosureTriangle>("dt_Options")->SetValue(false);

    resetTiles();
    resetBoard();

    Option("cb_centerSquare")->SetValue(app->prefCenterSquareDouble);
    Option("cb_blankTiles")->SetValue(app->prefEnableBlanks);
    Option("cb_wordLength")->SetValue(app->prefEnforceWordLength);
    Option("cb_specialSpaces")->SetValue(app->prefEnableSpecialSpaces);
    Option("cb_alphabet")->SetValue(app->prefEnforceContraints);
    Option("cb_uniqueScores")->SetValue(app->prefOnlyUniqueScores);
    TileMode(0)->SetValue(app->prefConstrainIndividual);
    TileMode(1)->SetValue(app->prefConstrainCombined);

    // The word field is the first control that takes typing.
    WordField()->setFocus();
}

bool TalloCalc::FileClose_Action() {
    Close();
    return false;
}

// While special board spaces are on, word length is enforced and cannot be
// turned off; unique scores and the centre square only matter then.
void TalloCalc::cb_specialSpaces_Action() {
    const bool on = Option("cb_specialSpaces")->Value();
    Option("cb_uniqueScores")->SetEnabled(on);
    Option("cb_centerSquare")->SetEnabled(on);
    fw::CheckBox* wordLength = Option("cb_wordLength");
    if (on) {
        wordLength->SetValue(true);
        wordLength->SetEnabled(false);
    } else {
        wordLength->SetEnabled(true);
    }
}

void TalloCalc::rb_alphabet_Action() {
    resetTiles();
}

void TalloCalc::cb_alphabet_Action() {
    const bool on = Option("cb_alphabet")->Value();
    TileMode(0)->SetEnabled(on);
    TileMode(1)->SetEnabled(on);
    Option("cb_blankTiles")->SetEnabled(on);
}

void TalloCalc::btn_Calc_Action() {
    ShowBusy(true);
    if (!WordField()->Text().empty()) {
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
    auto* button = FindControl<fw::PushButton>("btn_Letters");
    if (button->Caption() == kShowLetters) {
        button->SetCaption(kHideLetters);
        if (myTileWindow != nullptr) {
            myTileWindow->Show();
        }
    } else {
        button->SetCaption(kShowLetters);
        if (myTileWindow != nullptr) {
            myTileWindow->Hide();
        }
    }
}

void TalloCalc::dt_Options_Action() {
    const bool open = FindControl<fw::DisclosureTriangle>("dt_Options")->Value();
    // The window grows and shrinks by the panel's own height.
    auto* panel = FindControl<fw::GroupBox>("gb_Options");
    panel->SetVisible(open);
    SetHeight(open ? Height() + panel->Height() : Height() - panel->Height());
}

// The word field, the message line, the options and the board stay as they are.
void TalloCalc::btn_clearList_Action() {
    ShowBusy(true);
    ResultsList()->DeleteAllRows();
    resetTiles();
    FindControl<fw::PushButton>("btn_clearList")->SetEnabled(false);
    ShowBusy(false);
}

std::int32_t TalloCalc::CalculateSingle(const std::string& word) {
    return calc::CalculateSingle(word);
}

void TalloCalc::CalculateMulti(const std::string& word) {
    std::vector<std::int32_t> scores;
    calc::PlacementScores(word, theBoard, Option("cb_centerSquare")->Value(), scores);
    if (Option("cb_uniqueScores")->Value()) {
        // Pruning reorders the whole list.
        myResults.AddPlacementRows(word, scores, true);
        ResultsList()->RowsChanged();
        ResultsList()->RowsSortedBy(0);
    } else {
        ResultsList()->AppendRows(static_cast<int>(scores.size()),
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
        calc::countTiles(word, myTileset, commit, Option("cb_blankTiles")->Value());
    if (test.fits && commit && consume) {
        myTileset = test.left;
        refreshTileList();
    }
    if (test.rebuilt) {
        WordField()->SetText(test.word);
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
    auto* list = myTileWindow->FindControl<fw::Listbox>("lbox_Tiles");
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
    fw::EditField* field = WordField();
    if (field->Text().empty()) {
        return false;
    }
    normalizeWord();
    const std::string word = field->Text();
    auto* message = FindControl<fw::StaticText>("lbl_error");
    message->SetVisible(false);
    std::string line = word + ":";

    bool failed = false;
    if (Option("cb_wordLength")->Value() && fw::CharacterCount(word) > calc::kMaxWordLength) {
        failed = true;
        line += kLengthViolation;
    }
    if (Option("cb_alphabet")->Value()) {
        const bool individual = TileMode(0)->Value();
        // A word that will not be listed uses up no tiles.
        if (!countTiles(field->Text(), !individual, !failed)) {
            failed = true;
            line += individual ? kLetterCountViolation : kTileCountViolation;
        }
    }
    message->SetText(line);
    if (failed) {
        message->SetVisible(true);
        return true;
    }

    const std::string listed = field->Text();
    if (Option("cb_specialSpaces")->Value()) {
        CalculateMulti(listed);
    } else {
        const std::int32_t score = CalculateSingle(listed);
        ResultsList()->AppendRows(1, [&] { myResults.AddRow(listed, score); });
    }
    field->SetText("");
    FindControl<fw::PushButton>("btn_clearList")->SetEnabled(true);
    return false;
}

// The rows end in word order, and the heading says so.
void TalloCalc::CompressResults() {
    myResults.CompressResults();
    ResultsList()->RowsChanged();
    ResultsList()->RowsSortedBy(0);
}

void TalloCalc::normalizeWord() {
    // Only a-z change: the letters that are tiles. Anything else keeps its
    // form and its length, so the word can't outgrow the field.
    fw::EditField* field = WordField();
    field->SetText(fw::Uppercase(field->Text()));
}

fw::CheckBox* TalloCalc::Option(const char* name) const {
    return FindControl<fw::CheckBox>(name);
}

TalloCalc::rb_alphabet* TalloCalc::TileMode(int index) const {
    return FindControl<rb_alphabet>("rb_alphabet", index);
}

fw::EditField* TalloCalc::WordField() const {
    return FindControl<fw::EditField>("tbox_Word");
}

fw::Listbox* TalloCalc::ResultsList() const {
    return FindControl<fw::Listbox>("lbox_wordValue");
}

void TalloCalc::ShowBusy(bool busy) {
    FindControl<fw::ProgressWheel>("ChasingArrows1")->SetVisible(busy);
}
