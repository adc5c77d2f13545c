#include "framework/gui/ButtonControl.h"

#include <QAbstractButton>
#include <QString>

namespace fw {

ButtonControl::ButtonControl(QAbstractButton* button) : Control(button), button_(button) {}

std::string ButtonControl::Caption() const {
    return button_->text().toStdString();
}

void ButtonControl::SetCaption(const std::string& caption) {
    button_->setText(QString::fromStdString(caption));
}

bool ValueControl::Value() const {
    return Button()->isChecked();
}

void ValueControl::SetValue(bool value) {
    Button()->setChecked(value);
}

} // namespace fw
