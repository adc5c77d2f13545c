#include "framework/gui/StaticText.h"

#include <QEvent>
#include <QFontMetrics>

namespace fw {

StaticText::StaticText(QWidget* parent) : QLabel(parent), Control(this) {
    setTextFormat(Qt::PlainText);
    SetMultiline(false);
}

void StaticText::SetText(const std::string& text) {
    fullText_ = QString::fromStdString(text);
    ShowText();
}

void StaticText::SetTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void StaticText::SetMultiline(bool multiline) {
    setWordWrap(multiline);
    setAlignment(multiline ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
    ShowText();
}

void StaticText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    ShowText();
}

void StaticText::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ShowText();
    }
}

void StaticText::ShowText() {
    const QString shown =
        wordWrap() ? fullText_
                   : fontMetrics().elidedText(fullText_, Qt::ElideRight, contentsRect().width());
    if (shown != text()) {
        QLabel::setText(shown);
    }
    const bool cut = shown != fullText_;
    if (cut && (toolTip().isEmpty() || tipShowsText_)) {
        setToolTip(fullText_);
        tipShowsText_ = true;
    } else if (!cut && tipShowsText_) {
        setToolTip(QString());
        tipShowsText_ = false;
    }
}

} // namespace fw
