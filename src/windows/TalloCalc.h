#pragma once

#include "calculator/Board.h"
#include "calculator/ResultList.h"
#include "calculator/TileSet.h"
#include "framework/gui/RadioButton.h"
#include "framework/gui/Window.h"
#include "windows/OptionControls.h"
#include "windows/ResultListModel.h"

#include <QPointer>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fw {
class DisclosureTriangle;
class EditField;
class GroupBox;
class Listbox;
class ProgressWheel;
class PushButton;
class StaticText;
} // namespace fw

class tilesetWindow;
struct CalcControlRow;

// A calculator window. Any number may be open; each owns its options, its
// board, its tiles, its drawer and its result list, and shares none of them.
// The window only reads its controls, calls the calculator model and shows
// what comes back.
class TalloCalc : public fw::Window {
public:
    // The class of the two tile-mode buttons, the control array rb_alphabet
    // (0 "Individual words", 1 "Combined words").
    class rb_alphabet : public fw::RadioButton {
    public:
        using fw::RadioButton::RadioButton;
    };

    ~TalloCalc() override;

    // The 23 controls in the order of creation.
    static const std::vector<CalcControlRow>& Design();

    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void BindControls() override;

    // The options panel.
    void cb_specialSpaces_Action();
    void rb_alphabet_Action();
    void cb_alphabet_Action();

    // The word field, Calculate and the result list.
    void btn_Calc_Action();
    bool tbox_Word_KeyDown(const std::string& key);
    bool lbox_wordValue_CompareRows(int row1, int row2, int column, int& result);

    void btn_Board_Action();
    void btn_Letters_Action();
    void dt_Options_Action();
    void btn_clearList_Action();

    void AddMenuHandlers() override;
    void Event_Open() override;
    bool FileClose_Action();

    // Scoring.
    std::int32_t CalculateSingle(const std::string& word);
    void CalculateMulti(const std::string& word);
    std::int32_t CalcLetter(const std::string& letter);

    // Tiles. countTiles tests the word against the tiles left and rewrites
    // the word field where automatic blanks stand in for letters. With commit
    // off (Individual words) the word meets a full set; with commit on
    // (Combined words) it meets the tiles left and uses them up when it fits
    // and consume is on. Returns whether the word fits.
    void resetTiles();
    bool countTiles(const std::string& word, bool commit, bool consume = true);
    std::int32_t countLetter(const std::string& character, const std::string& word);
    std::int32_t countLetterB(int symbol, const std::string& word);
    void refreshTileList();

    void resetBoard();

    // True when a failure was shown; False when the field was empty or the
    // word was listed.
    bool Calculate();
    void CompressResults();

protected:
    calc::TileTable tileset{};
    calc::TileTable myTileset{};
    QPointer<tilesetWindow> myTileWindow;
    calc::BoardGrid theBoard{};
    // The rows of lbox_wordValue, shown through the adapter.
    calc::ResultList myResults;
    ResultListModel myResultsModel{myResults};

private:
    void normalizeWord();

    fw::ValueControl& Option(std::size_t row) const { return *options_[row]; }
    void ShowBusy(bool busy);

    // The controls the window works with, bound once when it is built.
    OptionControls options_{};
    fw::GroupBox* optionsPanel_ = nullptr;
    fw::DisclosureTriangle* optionsTriangle_ = nullptr;
    fw::EditField* word_ = nullptr;
    fw::StaticText* message_ = nullptr;
    fw::Listbox* results_ = nullptr;
    fw::PushButton* letters_ = nullptr;
    fw::PushButton* clearList_ = nullptr;
    fw::ProgressWheel* busy_ = nullptr;
};
