#include "windows/TalloBoard.h"

#include "app/Pictures.h"

void TalloBoard::Layout() {
    SetBackdrop(boardbmp());
    ApplyDesign({.title = "Quadrelle Board",
                 .width = 450,
                 .height = 473,
                 .maxWidth = 600,
                 .maxHeight = 600,
                 .frame = fw::WindowFrame::Floating});
}
