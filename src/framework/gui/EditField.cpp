#include "framework/gui/EditField.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

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
    // Caught here rather than in keyPressEvent so that every key reaches the
    // filter before the field's own handling.
    if (event->type() == QEvent::KeyPress && keyDown_ &&
        FilterKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void EditField::focusOutEvent(QFocusEvent* event) {
    // The menu bar holds the focus only while a menu is chosen from the
    // keyboard; the selection stays for its edit commands, as it does for a
    // menu opened with the mouse.
    if (event->reason() == Qt::MenuBarFocusReason) {
        QFocusEvent keepSelection(QEvent::FocusOut, Qt::PopupFocusReason);
        QLineEdit::focusOutEvent(&keepSelection);
        return;
    }
    QLineEdit::focusOutEvent(event);
}

bool EditField::FilterKey(const QKeyEvent& key) {
    if ((key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) &&
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
        return false;
    }
    const QString text = key.text();
    const QList<uint> characters = text.toUcs4();
    const bool typesText =
        std::any_of(characters.begin(), characters.end(), [](uint c) { return QChar::isPrint(c); });
    if (typesText) {
        const QString admitted = Admitted(text);
        if (admitted == text) {
            return false;
        }
        if (!admitted.isEmpty() && !isReadOnly()) {
            insert(admitted);
        }
        return true;
    }
    if ((key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    const std::string code = KeyString(key.key(), key.modifiers(), text);
    return !code.empty() && keyDown_(code);
}

QString EditField::Admitted(const QString& text) const {
    QString admitted;
    for (const uint c : text.toUcs4()) {
        const auto character = static_cast<char32_t>(c);
        const QString one = QString::fromUcs4(&character, 1);
        if (QChar::isPrint(c) && !keyDown_(one.toStdString())) {
            admitted += one;
        }
    }
    return admitted;
}

void EditField::inputMethodEvent(QInputMethodEvent* event) {
    if (keyDown_ && !event->commitString().isEmpty()) {
        const QString admitted = Admitted(event->commitString());
        if (admitted != event->commitString()) {
            QInputMethodEvent filtered(event->preeditString(), event->attributes());
            filtered.setCommitString(admitted, event->replacementStart(),
                                     event->replacementLength());
            QLineEdit::inputMethodEvent(&filtered);
            event->accept();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}

} // namespace fw
