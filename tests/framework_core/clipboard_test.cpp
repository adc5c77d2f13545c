#include "framework/core/Clipboard.h"

#include <gtest/gtest.h>

namespace {

class RecordingBackend final : public fw::ClipboardBackend {
public:
    std::string Text() const override { return "from backend"; }
    void SetText(std::string_view text) override { last.assign(text); }
    std::string last;
};

} // namespace

TEST(Clipboard, UsesMemoryUntilABackendIsInstalledAndAfterItIsRemoved) {
    fw::SetClipboardText("a\rb");
    EXPECT_EQ(fw::ClipboardText(), "a\rb");

    RecordingBackend backend;
    fw::SetClipboardBackend(&backend);
    fw::SetClipboardText("x");
    EXPECT_EQ(backend.last, "x");
    EXPECT_EQ(fw::ClipboardText(), "from backend");

    fw::SetClipboardBackend(nullptr);
    EXPECT_EQ(fw::ClipboardText(), "a\rb");
}
