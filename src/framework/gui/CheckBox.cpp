#include "framework/gui/CheckBox.h"

namespace fw {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), ValueControl(this) {
    // A click leaves the typing focus where it was (in the word field, say);
    // the keyboard still reaches the control with Tab.
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QCheckBox::toggled, this, [this] { RaiseAction(); });
}

} // namespace fw
