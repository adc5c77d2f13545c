#include "framework/core/Clipboard.h"

namespace fw {
namespace {

class MemoryClipboard final : public ClipboardBackend {
public:
    std::string Text() const override { return text_; }
    void SetText(std::string_view text) override { text_.assign(text); }

private:
    std::string text_;
};

MemoryClipboard memoryClipboard;
ClipboardBackend* current = &memoryClipboard;

} // namespace

void SetClipboardBackend(ClipboardBackend* backend) noexcept {
    current = backend != nullptr ? backend : &memoryClipboard;
}

std::string ClipboardText() {
    return current->Text();
}

void SetClipboardText(std::string_view text) {
    current->SetText(text);
}

} // namespace fw
