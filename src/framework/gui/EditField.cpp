#include "framework/gui/EditField.h"

#include <QKeyEvent>

namespace fw {

EditField::EditField(QWidget* parent) : QLineEdit(parent), Control(this) {}

void EditField::SetText(const std::string& text) {
    setText(QString::fromStdString(text));
}

void EditField::SetLimitText(int limit) {
    // 0 means no limit of the field's own.
    setMaxLength(limit > 0 ? limit : 32767);
}

std::string EditField::KeyString(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    if ((modifiers & Qt::ControlModifier) != 0) {
        return {};
    }
    switch (key) {
    case Qt::Key_Backspace:
        return "\x08";
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return "\t";
    case Qt::Key_Return:
        return "\r";
    case Qt::Key_Enter:
        return "\x03";
    case Qt::Key_Escape:
        return "\x1b";
    case Qt::Key_Left:
        return "\x1c";
    case Qt::Key_Right:
        return "\x1d";
    case Qt::Key_Up:
        return "\x1e";
    case Qt::Key_Down:
        return "\x1f";
    case Qt::Key_Delete:
        return "\x7f";
    case Qt::Key_Home:
        return "\x01";
    case Qt::Key_End:
        return "\x04";
    case Qt::Key_PageUp:
        return "\x0b";
    case Qt::Key_PageDown:
        return "\x0c";
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return {};
    default:
        // Every other key reaches the filter too: function keys and the
        // like, which type nothing, as the function-key code 16.
        return text.isEmpty() ? std::string("\x10") : text.toStdString();
    }
}

bool EditField::event(QEvent* event) {
    // Caught here rather than in keyPressEvent so that Tab reaches the
    // filter before it moves the focus.
    if (event->type() == QEvent::KeyPress && keyDown_) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::string keyText = KeyString(key->key(), key->modifiers(), key->text());
        if (!keyText.empty() && keyDown_(keyText)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

} // namespace fw
