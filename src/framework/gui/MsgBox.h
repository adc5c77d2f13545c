#pragma once

#include <functional>
#include <string>

namespace fw {

// Tells the user something in a modal alert with an OK button, over the
// window in front. A blank line splits the message from its explanation.
void MsgBox(const std::string& text);

// Takes the messages instead of showing them (tests, which must never wait
// for a modal box); nullptr shows them again.
using MsgBoxCatcher = std::function<void(const std::string& text)>;
void SetMsgBoxCatcher(MsgBoxCatcher catcher);

} // namespace fw
