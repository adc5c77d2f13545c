#include "framework/gui/GroupBox.h"

namespace fw {

GroupBox::GroupBox(QWidget* parent) : QGroupBox(parent), Control(this) {}

void GroupBox::SetCaption(const std::string& caption) {
    setTitle(QString::fromStdString(caption));
}

QWidget* GroupBox::ContentWidget(int /*panel*/) {
    return this;
}

} // namespace fw
