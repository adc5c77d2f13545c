#include "framework/gui/EditCommands.h"

#include "framework/gui/MenuBar.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <array>

namespace fw {
namespace {

// Each command's standard item name and what it does to a field.
struct CommandRow {
    std::string_view itemName;
    EditCommand command;
    void (*perform)(QLineEdit& field);
};
constexpr std::array<CommandRow, 5> kCommands = {{
    {"EditUndo", EditCommand::Undo, [](QLineEdit& field) { field.undo(); }},
    {"EditCut", EditCommand::Cut, [](QLineEdit& field) { field.cut(); }},
    {"EditCopy", EditCommand::Copy, [](QLineEdit& field) { field.copy(); }},
    {"EditPaste", EditCommand::Paste, [](QLineEdit& field) { field.paste(); }},
    {"EditClear", EditCommand::Clear, [](QLineEdit& field) { field.del(); }},
}};

} // namespace

std::optional<EditCommand> EditCommandFor(std::string_view itemName) {
    for (const CommandRow& row : kCommands) {
        if (row.itemName == itemName) {
            return row.command;
        }
    }
    return std::nullopt;
}

QLineEdit* FocusedTextField() {
    return qobject_cast<QLineEdit*>(MenuBar::FocusBehindBar());
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
    for (const CommandRow& row : kCommands) {
        if (row.command == command) {
            row.perform(field);
        }
    }
}

} // namespace fw
