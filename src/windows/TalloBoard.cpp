#include "windows/TalloBoard.h"

#include "app/Pictures.h"
#include "framework/gui/SingleInstance.h"

TalloBoard& TalloBoard::instance() {
    return fw::SingleInstance<TalloBoard>::Get();
}

void TalloBoard::Layout() {
    SetBackdrop(boardbmp());
    ApplyDesign({.title = "Quadrelle Board",
                 .width = 450,
                 .height = 473,
                 .maxWidth = 600,
                 .maxHeight = 600,
                 .frame = fw::WindowFrame::Floating});
}
