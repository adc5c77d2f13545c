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
    if (fitting_) {
        return;
    }
    // The platform's font may run a little wider than the one the design was
    // measured in: a line that misses its box by a few pixels is set a little
    // narrower rather than cut short. One that misses by more keeps the font.
    constexpr int kNarrowestStretch = 90;
    const int available = contentsRect().width();
    QFont fitted = font();
    fitted.setStretch(QFont::Unstretched);
    // Measured as the cutting measures it, to the fraction of a pixel.
    auto fits = [this, available](const QFont& candidate) {
        return QFontMetrics(candidate).elidedText(fullText_, Qt::ElideRight, available) ==
               fullText_;
    };
    if (!wordWrap() && available > 0 && !fits(fitted)) {
        for (int stretch = 99; stretch >= kNarrowestStretch; --stretch) {
            QFont narrower = fitted;
            narrower.setStretch(stretch);
            if (fits(narrower)) {
                fitted = narrower;
                break;
            }
        }
    }
    if (fitted != font()) {
        fitting_ = true;
        setFont(fitted);
        fitting_ = false;
    }

    const QString shown =
        wordWrap() ? fullText_
                   : QFontMetrics(fitted).elidedText(fullText_, Qt::ElideRight, available);
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
    // A screen reader reads the whole line, not what fits on the screen.
    if (accessibleName() != (cut ? fullText_ : QString())) {
        setAccessibleName(cut ? fullText_ : QString());
    }
}

} // namespace fw
