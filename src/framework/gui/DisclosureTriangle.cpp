#include "framework/gui/DisclosureTriangle.h"

namespace fw {

DisclosureTriangle::DisclosureTriangle(QWidget* parent) : QToolButton(parent), ValueControl(this) {
    setCheckable(true);
    setAutoRaise(true);
    // Open or closed, it is a bare arrow, never a pressed button; a thin
    // ring shows when it has the keyboard focus.
    setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid transparent; background: transparent; }"
        "QToolButton:focus { border: 1px solid palette(highlight); border-radius: 3px; }"));
    // A click leaves the typing focus where it was; Tab reaches it, and
    // Space opens and closes it.
    setFocusPolicy(Qt::TabFocus);
    setArrowType(Qt::RightArrow);
    connect(this, &QToolButton::toggled, this, [this](bool open) {
        setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        RaiseAction();
    });
}

} // namespace fw
