#pragma once

#include "framework/gui/Control.h"

#include <QLineEdit>
#include <functional>

namespace fw {

// A one-line text field. The KeyDown handler sees each typed key as a
// one-character string (Home 1, Enter 3, End 4, Backspace 8, Tab 9, Page Up
// 11, Page Down 12, Return 13, other keys that type nothing 16, Escape 27,
// Left 28, Right 29, Up 30, Down 31, Delete 127, else the key's text) and
// returns True to swallow it. Command-key combinations (paste and the other
// edit commands) and modifier keys alone do not pass the filter.
class EditField : public QLineEdit, public Control {
public:
    explicit EditField(QWidget* parent);

    std::string Text() const { return text().toStdString(); }
    void SetText(const std::string& text);
    int LimitText() const { return maxLength(); }
    void SetLimitText(int limit);
    void OnKeyDown(std::function<bool(const std::string&)> handler) {
        keyDown_ = std::move(handler);
    }

    // The string the KeyDown handler gets for a key; empty for keys that
    // do not pass the filter.
    static std::string KeyString(int key, Qt::KeyboardModifiers modifiers, const QString& text);

protected:
    void SetDesignCaption(const std::string& caption) override { SetText(caption); }
    bool event(QEvent* event) override;

private:
    std::function<bool(const std::string&)> keyDown_;
};

} // namespace fw
