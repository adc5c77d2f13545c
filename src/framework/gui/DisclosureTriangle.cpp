#include "framework/gui/DisclosureTriangle.h"

namespace fw {

DisclosureTriangle::DisclosureTriangle(QWidget* parent) : QToolButton(parent), Control(this) {
    setCheckable(true);
    setAutoRaise(true);
    // Open or closed, it is a bare arrow, never a pressed button.
    setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    setFocusPolicy(Qt::NoFocus);
    setArrowType(Qt::RightArrow);
    connect(this, &QToolButton::toggled, this, [this](bool open) {
        setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        if (action_) {
            action_();
        }
    });
}

} // namespace fw
