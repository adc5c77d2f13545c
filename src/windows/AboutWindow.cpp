#include "windows/AboutWindow.h"

#include "app/Pictures.h"
#include "framework/gui/StaticText.h"

void AboutWindow::Layout() {
    SetBackdrop(splashbmp());
    ApplyDesign({.title = "Untitled",
                 .width = 400,
                 .height = 400,
                 .placement = fw::WindowPlacement::ParentWindow});
}

void AboutWindow::CreateControls0() {
    auto* label = AddControl<fw::StaticText>({.name = "StaticText1",
                                              .caption = "Version: ",
                                              .bounds = {266, 120, 100, 20},
                                              .locks = fw::LockNone});
    label->SetTextColor(QColor(0x69, 0x69, 0x69));
}
