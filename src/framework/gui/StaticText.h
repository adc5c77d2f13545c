#pragma once

#include "framework/gui/Control.h"

#include <QColor>
#include <QLabel>

namespace fw {

// A label; plain text only, one line unless made multi-line. A single line a
// little too long for the label is set slightly narrower; one far too long
// is cut short with an ellipsis, and its whole text shows on the pointer
// (unless the label has a help tag of its own) and is its accessible name.
class StaticText : public QLabel, public Control {
public:
    explicit StaticText(QWidget* parent);

    std::string Text() const { return fullText_.toStdString(); }
    void SetText(const std::string& text);
    void SetTextColor(const QColor& color);
    void SetMultiline(bool multiline);

protected:
    void SetDesignCaption(const std::string& caption) override { SetText(caption); }
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowText();

    QString fullText_;
    bool tipShowsText_ = false;
    bool fitting_ = false;
};

} // namespace fw
