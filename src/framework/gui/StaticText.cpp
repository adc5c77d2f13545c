#include "framework/gui/StaticText.h"

namespace fw {

StaticText::StaticText(QWidget* parent) : QLabel(parent), Control(this) {
    setTextFormat(Qt::PlainText);
    SetMultiline(false);
}

void StaticText::SetText(const std::string& text) {
    setText(QString::fromStdString(text));
}

void StaticText::SetTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void StaticText::SetMultiline(bool multiline) {
    setWordWrap(multiline);
    setAlignment(multiline ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace fw
