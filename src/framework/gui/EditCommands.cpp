#include "framework/gui/EditCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <array>
#include <utility>

namespace fw {
namespace {

constexpr std::array<std::pair<std::string_view, EditCommand>, 5> kStandardNames = {{
    {"EditUndo", EditCommand::Undo},
    {"EditCut", EditCommand::Cut},
    {"EditCopy", EditCommand::Copy},
    {"EditPaste", EditCommand::Paste},
    {"EditClear", EditCommand::Clear},
}};

} // namespace

std::optional<EditCommand> EditCommandFor(std::string_view itemName) {
    for (const auto& [name, command] : kStandardNames) {
        if (name == itemName) {
            return command;
        }
    }
    return std::nullopt;
}

QLineEdit* FocusedTextField() {
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

bool EditCommandAvailable(const QLineEdit& field, EditCommand command) {
    const bool editable = !field.isReadOnly() && field.isEnabled();
    switch (command) {
    case EditCommand::Undo:
        return editable && field.isUndoAvailable();
    case EditCommand::Cut:
    case EditCommand::Clear:
        return editable && field.hasSelectedText();
    case EditCommand::Copy:
        return field.hasSelectedText() && field.echoMode() == QLineEdit::Normal;
    case EditCommand::Paste:
        return editable && !QGuiApplication::clipboard()->text().isEmpty();
    }
    return false;
}

void PerformEditCommand(QLineEdit& field, EditCommand command) {
    if (!EditCommandAvailable(field, command)) {
        return;
    }
    switch (command) {
    case EditCommand::Undo:
        field.undo();
        break;
    case EditCommand::Cut:
        field.cut();
        break;
    case EditCommand::Copy:
        field.copy();
        break;
    case EditCommand::Paste:
        field.paste();
        break;
    case EditCommand::Clear:
        field.del();
        break;
    }
}

} // namespace fw
