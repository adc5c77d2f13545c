#include "windows/tilesetWindow.h"

#include "calculator/TileSet.h"
#include "framework/gui/Listbox.h"

#include <charconv>
#include <string>

namespace {

// The leading number of a cell, 0 when there is none.
double CellNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && *begin == ' ') {
        ++begin;
    }
    double value = 0;
    if (std::from_chars(begin, end, value).ec != std::errc()) {
        return 0;
    }
    return value;
}

} // namespace

void AddTileRows(fw::Listbox& list) {
    for (int symbol = 0; symbol < calc::kSymbolCount; ++symbol) {
        const std::string count = std::to_string(calc::kTileDistribution[symbol]);
        list.AddRow(std::string(calc::TileSymbolText(symbol)));
        list.SetCell(list.LastIndex(), 1, count);
        list.SetCell(list.LastIndex(), 2, count);
    }
}

void tilesetWindow::Layout() {
    ApplyDesign({.title = "Untitled",
                 .width = 148,
                 .height = 461,
                 .frame = fw::WindowFrame::Drawer,
                 .placement = fw::WindowPlacement::MainScreen,
                 .closeButton = false,
                 .visible = false});
}

void tilesetWindow::CreateControls0() {
    auto* list = AddControl<fw::Listbox>(
        {.name = "lbox_Tiles",
         .bounds = {3, 5, 138, 451},
         .locks = fw::LockLeft | fw::LockTop | fw::LockRight | fw::LockBottom,
         .accessibleName = "Tiles"});
    list->SetHeadings({" ", "Total", "Left"});
    list->setAttribute(Qt::WA_MacShowFocusRect, false);
    AddTileRows(*list);
    list->OnCompareRows([this](int row1, int row2, int column, int& result) {
        return lbox_Tiles_CompareRows(row1, row2, column, result);
    });
}

void tilesetWindow::BindControls() {
    tiles_ = BindControl<fw::Listbox>("lbox_Tiles");
}

// Equal counts answer -1 both ways round; the list's sort stays safe with that.
bool tilesetWindow::lbox_Tiles_CompareRows(int row1, int row2, int column, int& result) {
    if (column == 0) {
        return false;
    }
    const double a = CellNumber(tiles_->Cell(row1, column));
    const double b = CellNumber(tiles_->Cell(row2, column));
    result = a > b ? 1 : -1;
    return true;
}

void tilesetWindow::AddMenuHandlers() {}

void tilesetWindow::Event_Resized() {
    // The window is sized once before its list exists.
    if (tiles_ == nullptr) {
        return;
    }
    tiles_->SetHeight(Height() - 10);
    tiles_->SetWidth(Width() - 10);
}
