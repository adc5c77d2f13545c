#include "framework/gui/CheckBox.h"

namespace fw {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), Control(this) {
    connect(this, &QCheckBox::toggled, this, [this] {
        if (action_) {
            action_();
        }
    });
}

void CheckBox::SetCaption(const std::string& caption) {
    setText(QString::fromStdString(caption));
}

} // namespace fw
