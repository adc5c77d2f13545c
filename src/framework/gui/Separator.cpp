#include "framework/gui/Separator.h"

namespace fw {

Separator::Separator(QWidget* parent) : QFrame(parent), Control(this) {
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
}

void Separator::GeometryApplied() {
    setFrameShape(width() >= height() ? QFrame::HLine : QFrame::VLine);
}

} // namespace fw
