#include "framework/gui/RadioButton.h"

#include "framework/gui/Window.h"

namespace fw {

RadioButton::RadioButton(QWidget* parent) : QRadioButton(parent), Control(this) {
    // Grouping is by control array, not by the Qt parent.
    setAutoExclusive(false);
    // A click leaves the typing focus where it was; Tab still reaches it.
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QRadioButton::toggled, this, [this](bool checked) { Toggled(checked); });
}

void RadioButton::SetCaption(const std::string& caption) {
    setText(QString::fromStdString(caption));
}

void RadioButton::nextCheckState() {
    if (!isChecked()) {
        setChecked(true);
    }
}

void RadioButton::Toggled(bool checked) {
    if (!checked) {
        return;
    }
    if (Window* owner = OwnerWindow()) {
        for (Control* member : owner->ControlArray(Name())) {
            auto* other = dynamic_cast<RadioButton*>(member);
            if (other != nullptr && other != this) {
                other->setChecked(false);
            }
        }
    }
    if (action_) {
        action_();
    }
}

} // namespace fw
