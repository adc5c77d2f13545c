#pragma once

#include "framework/gui/Control.h"

#include <QColor>
#include <QLabel>

namespace fw {

// A label; plain text only, one line unless made multi-line.
class StaticText : public QLabel, public Control {
public:
    explicit StaticText(QWidget* parent);

    std::string Text() const { return text().toStdString(); }
    void SetText(const std::string& text);
    void SetTextColor(const QColor& color);
    void SetMultiline(bool multiline);

protected:
    void SetDesignCaption(const std::string& caption) override { SetText(caption); }
};

} // namespace fw
