#pragma once

#include "framework/gui/Control.h"

#include <QLineEdit>
#include <functional>

namespace fw {

// A one-line text field. The KeyDown handler sees each key as a
// one-character string (Home 1, Enter 3, End 4, Backspace 8, Page Up 11,
// Page Down 12, Return 13, other keys that type nothing 16, Escape 27, Left
// 28, Right 29, Up 30, Down 31, Delete 127) and returns True to swallow it.
// Text is typed character by character: every character of a key's text,
// whatever modifiers made it, and of text an input method commits meets the
// handler on its own, and only those it lets through reach the field (a
// control character never does). Command-key combinations that type nothing
// (the edit commands), modifier keys alone, Tab and Shift+Tab (which move the
// focus) and pasted text do not pass the filter.
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
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Whether the key is swallowed.
    bool FilterKey(const QKeyEvent& key);
    // The characters of typed text that the handler lets through.
    QString Admitted(const QString& text) const;

    std::function<bool(const std::string&)> keyDown_;
};

} // namespace fw
