#include "windows/TalloBoard.h"

#include "app/Pictures.h"
#include "framework/gui/SingleInstance.h"

TalloBoard& TalloBoard::instance() {
    return fw::SingleInstance<TalloBoard>::Get();
}

void TalloBoard::Layout() {
    SetBackdrop(boardbmp());
    SetTitle("Quadrelle Board");
    SetMinSize(64, 64);
    SetMaxSize(600, 600);
    SetSize(450, 473);
    SetPlacement(fw::WindowPlacement::Default);
    SetFrame(fw::WindowFrame::Floating);
    SetCloseButton(true);
    SetResizable(false);
}
