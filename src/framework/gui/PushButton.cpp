#include "framework/gui/PushButton.h"

#include "framework/gui/Window.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace fw {

PushButton::PushButton(QWidget* parent) : QPushButton(parent), ButtonControl(this) {
    // A click leaves the typing focus where it was (in the word field, say);
    // the keyboard still reaches the control with Tab.
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { RaiseAction(); });
}

void PushButton::SetDefault(bool isDefault) {
    setDefault(isDefault);
    if (Window* owner = OwnerWindow()) {
        owner->SetDefaultButton(isDefault ? this : nullptr);
    }
}

void PushButton::SetCancel(bool isCancel) {
    cancel_ = isCancel;
    if (Window* owner = OwnerWindow()) {
        owner->SetCancelButton(isCancel ? this : nullptr);
    }
}

void PushButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    // Styles may mark the default button with the same outline as the
    // focus, which then never shows on it: it gets the focus frame as well.
    if (!isDefault() || !hasFocus()) {
        return;
    }
    QStyleOptionButton button;
    initStyleOption(&button);
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(button);
    focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &button, this);
    focus.backgroundColor = palette().color(QPalette::Button);
    QStylePainter(this).drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

} // namespace fw
