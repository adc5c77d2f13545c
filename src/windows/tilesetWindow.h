#pragma once

#include "framework/gui/Window.h"

namespace fw {
class Listbox;
}

// The drawer of a calculator window: the tile set, one row per symbol with
// its total and the tiles left. Each calculator window has its own; it starts
// hidden and stands at its calculator window's edge.
class tilesetWindow : public fw::Window {
public:
    explicit tilesetWindow(fw::Window* calculator) : fw::Window(calculator) {}

    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void BindControls() override;
    fw::Listbox* TileList() const { return tiles_; }
    // The count columns order by number; the symbol column by the list's text.
    bool lbox_Tiles_CompareRows(int row1, int row2, int column, int& result);
    void AddMenuHandlers() override;
    void Event_Resized() override;

private:
    fw::Listbox* tiles_ = nullptr;
};

// The 27 rows of a full tile set: the symbol ("_" for the blank, then A to
// Z), its total and, in the Left column, the same count.
void AddTileRows(fw::Listbox& list);
