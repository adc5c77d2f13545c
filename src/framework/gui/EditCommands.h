#pragma once

#include <optional>
#include <string_view>

class QLineEdit;

namespace fw {

// The platform's text-editing commands. A menu item with one of their
// standard names ("EditUndo", "EditCut", "EditCopy", "EditPaste",
// "EditClear") acts on the focused text field whenever no handler of the
// application's own takes it, as text fields do everywhere on the desktop.
enum class EditCommand { Undo, Cut, Copy, Paste, Clear };

std::optional<EditCommand> EditCommandFor(std::string_view itemName);

// The focused text field of the application (still while the menu bar holds
// the focus for the keyboard), or nullptr.
QLineEdit* FocusedTextField();

bool EditCommandAvailable(const QLineEdit& field, EditCommand command);
void PerformEditCommand(QLineEdit& field, EditCommand command);

} // namespace fw
