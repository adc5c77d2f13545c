#include "framework/gui/PushButton.h"

#include "framework/gui/Window.h"

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

} // namespace fw
