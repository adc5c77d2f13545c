#pragma once

#include <string>
#include <string_view>

namespace fw {

// Clipboard text. The model and the property-list store use it without knowing
// where it lives: by default an in-memory buffer, in the application the
// system clipboard (the GUI layer installs that backend at start-up).
class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(std::string_view text) = 0;
};

// Installs a backend (not owned; nullptr restores the in-memory buffer).
void SetClipboardBackend(ClipboardBackend* backend) noexcept;

std::string ClipboardText();
void SetClipboardText(std::string_view text);

} // namespace fw
