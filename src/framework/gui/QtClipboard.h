#pragma once

#include "framework/core/Clipboard.h"

namespace fw {

// The clipboard service backed by the system clipboard.
class QtClipboard final : public ClipboardBackend {
public:
    std::string Text() const override;
    void SetText(std::string_view text) override;
};

} // namespace fw
