#include "framework/gui/QtClipboard.h"

#include <gtest/gtest.h>

TEST(QtClipboard, RoundTripsUtf8Text) {
    fw::QtClipboard clipboard;
    fw::SetClipboardBackend(&clipboard);
    fw::SetClipboardText("T\xC3\xA4llorix <&>");
    EXPECT_EQ(fw::ClipboardText(), "T\xC3\xA4llorix <&>");
    fw::SetClipboardBackend(nullptr);
}
