#include "TestWindow.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/RadioButton.h"
#include "framework/gui/StaticText.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <gtest/gtest.h>
#include <string_view>

namespace {

struct Counts {
    int check = 0;
    int triangle = 0;
    std::vector<int> radio;
};

TestWindow* OptionsWindow(Counts& counts) {
    return MakeWindow(nullptr, [&counts](TestWindow& w) {
        auto* cb = w.AddControl<fw::CheckBox>(
            {.name = "cb", .caption = "Check", .bounds = {10, 10, 100, 20}});
        auto* r0 = w.AddControl<fw::RadioButton>({.name = "rb",
                                                  .index = 0,
                                                  .caption = "Individual words",
                                                  .bounds = {10, 40, 150, 20},
                                                  .value = true,
                                                  .helpTag = "First line\rSecond line"});
        auto* r1 = w.AddControl<fw::RadioButton>(
            {.name = "rb", .index = 1, .caption = "Combined words", .bounds = {10, 60, 150, 20}});
        auto* dt = w.AddControl<fw::DisclosureTriangle>(
            {.name = "dt", .bounds = {10, 90, 18, 18}, .value = true});
        // Handlers come after the design values: building raised nothing.
        cb->OnAction([&counts] { ++counts.check; });
        r0->OnAction([&counts] { counts.radio.push_back(0); });
        r1->OnAction([&counts] { counts.radio.push_back(1); });
        dt->OnAction([&counts] { ++counts.triangle; });
    });
}

} // namespace

TEST(Controls, SettingValueRaisesActionAsAClickDoes) {
    Counts counts;
    auto* window = OptionsWindow(counts);
    EXPECT_EQ(counts.check + counts.triangle, 0);
    EXPECT_TRUE(counts.radio.empty());

    auto* cb = window->FindControl<fw::CheckBox>("cb");
    cb->SetValue(true);
    EXPECT_EQ(counts.check, 1);
    cb->SetValue(true); // no change, no Action
    EXPECT_EQ(counts.check, 1);
    QTest::mouseClick(cb, Qt::LeftButton);
    EXPECT_FALSE(cb->Value());
    EXPECT_EQ(counts.check, 2);

    auto* dt = window->FindControl<fw::DisclosureTriangle>("dt");
    EXPECT_TRUE(dt->Value());
    EXPECT_EQ(dt->focusPolicy(), Qt::TabFocus);
    dt->SetValue(false);
    EXPECT_EQ(counts.triangle, 1);
    QTest::mouseClick(dt, Qt::LeftButton);
    EXPECT_TRUE(dt->Value());
    EXPECT_EQ(counts.triangle, 2);
    // From the keyboard: Space toggles the focused triangle.
    Activate(window);
    dt->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dt, Qt::Key_Space);
    EXPECT_FALSE(dt->Value());
    EXPECT_EQ(counts.triangle, 3);
    delete window;
}

TEST(Controls, RadioArrayKeepsOneMemberSelected) {
    Counts counts;
    auto* window = OptionsWindow(counts);
    auto* r0 = window->FindControl<fw::RadioButton>("rb", 0);
    auto* r1 = window->FindControl<fw::RadioButton>("rb", 1);
    ASSERT_NE(r0, r1);
    EXPECT_EQ(r1->Index(), 1);
    EXPECT_TRUE(r0->Value());
    EXPECT_FALSE(r1->Value());

    r1->SetValue(true);
    EXPECT_FALSE(r0->Value());
    EXPECT_EQ(counts.radio, std::vector<int>{1});
    QTest::mouseClick(r1, Qt::LeftButton); // a click on the selected member keeps it
    EXPECT_TRUE(r1->Value());
    QTest::mouseClick(r0, Qt::LeftButton);
    EXPECT_TRUE(r0->Value());
    EXPECT_FALSE(r1->Value());
    EXPECT_EQ(counts.radio, (std::vector<int>{1, 0}));
    // Code may clear both.
    r0->SetValue(false);
    EXPECT_FALSE(r0->Value() || r1->Value());
    EXPECT_EQ(r0->toolTip(), QString("First line\nSecond line"));
    delete window;
}

TEST(Controls, KeyDownGetsKeyCodesAndSwallows) {
    std::vector<std::string> keys;
    auto* window = MakeWindow(nullptr, [&keys](TestWindow& w) {
        auto* field = w.AddControl<fw::EditField>({.name = "tbox", .bounds = {10, 10, 188, 22}});
        w.AddControl<fw::PushButton>(
            {.name = "next", .caption = "Next", .bounds = {10, 40, 80, 20}});
        field->SetLimitText(5);
        field->OnKeyDown([&keys](const std::string& key) {
            keys.push_back(key);
            return key.size() != 1 ||
                   std::string("abcdefghijklmnopqrstuvwxyz_ \x08\x7f\x1c\x1d\r\x03")
                           .find(static_cast<char>(std::tolower(
                               static_cast<unsigned char>(key[0])))) == std::string::npos;
        });
    });
    Activate(window);
    auto* field = window->FindControl<fw::EditField>("tbox");
    field->setFocus();
    const std::vector<std::pair<Qt::Key, std::string>> codes = {
        {Qt::Key_Backspace, "\x08"}, {Qt::Key_Delete, "\x7f"}, {Qt::Key_Left, "\x1c"},
        {Qt::Key_Right, "\x1d"},     {Qt::Key_Up, "\x1e"},     {Qt::Key_Down, "\x1f"},
        {Qt::Key_Return, "\r"},      {Qt::Key_Enter, "\x03"},  {Qt::Key_Escape, "\x1b"},
        {Qt::Key_Home, "\x01"},      {Qt::Key_End, "\x04"},    {Qt::Key_PageUp, "\x0b"},
        {Qt::Key_F5, "\x10"}};
    for (const auto& [key, code] : codes) {
        keys.clear();
        QTest::keyClick(field, key);
        ASSERT_EQ(keys.size(), 1u) << code;
        EXPECT_EQ(keys[0], code);
    }
    keys.clear();
    QTest::keyClick(field, Qt::Key_Shift);
    EXPECT_TRUE(keys.empty()); // a modifier alone is no key

    // Tab and Shift+Tab never meet the filter: they move the focus.
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(window->FindControl<fw::PushButton>("next")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(keys.empty());

    keys.clear();
    QTest::keyClicks(field, "q7Z!u");
    EXPECT_EQ(keys, (std::vector<std::string>{"q", "7", "Z", "!", "u"}));
    EXPECT_EQ(field->Text(), "qZu");
    // Pasted text does not pass the filter; the limit still holds.
    field->insert("123456");
    EXPECT_EQ(field->Text(), "qZu12");
    delete window;
}

// Every character that reaches the text meets the filter on its own, by
// whatever road it comes: chords, keys that type several characters, text
// that an input method commits. Pasting stays unfiltered.
TEST(Controls, EveryTypedCharacterMeetsTheFilter) {
    auto* window = MakeWindow(nullptr, [](TestWindow& w) {
        auto* field = w.AddControl<fw::EditField>({.name = "tbox", .bounds = {10, 10, 188, 22}});
        field->OnKeyDown([](const std::string& key) {
            return std::string_view("abcdefghijklmnopqrstuvwxyz_ \x08\x7f\x1c\x1d\r\x03")
                       .find(key) == std::string_view::npos;
        });
    });
    Activate(window);
    auto* field = window->FindControl<fw::EditField>("tbox");
    field->setFocus();
    const auto type = [field](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(field, &press);
    };
    type(Qt::Key_7, Qt::ControlModifier | Qt::AltModifier, "7"); // AltGr on some layouts
    type(Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@");
    EXPECT_EQ(field->Text(), "");
    type(Qt::Key_unknown, {}, "x7y");
    type(Qt::Key_unknown, {}, QString::fromLatin1("_ \b"));
    EXPECT_EQ(field->Text(), "xy_ ");

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\u00e95!"));
    QApplication::sendEvent(field, &commit);
    EXPECT_EQ(field->Text(), "xy_ ");
    QInputMethodEvent mixed;
    mixed.setCommitString(QString::fromUtf8("a\u00e9b"));
    QApplication::sendEvent(field, &mixed);
    EXPECT_EQ(field->Text(), "xy_ ab");

    // Edit commands still act, their keys coming with their letters (as QTest
    // sends them) or their control characters (as X11 and Wayland do), and
    // what they paste is not filtered.
    QApplication::clipboard()->setText("5!");
    type(Qt::Key_V, Qt::ControlModifier, "v");
    type(Qt::Key_V, Qt::ControlModifier, "\x16");
    EXPECT_EQ(field->Text(), "xy_ ab5!5!");
    type(Qt::Key_A, Qt::ControlModifier, "\x01");
    EXPECT_EQ(field->selectedText(), "xy_ ab5!5!");
    delete window;
}

TEST(Controls, ReturnPressesDefaultButtonAndEscapeCancel) {
    int ok = 0;
    int cancel = 0;
    auto* window = MakeWindow(nullptr, [&](TestWindow& w) {
        auto* field = w.AddControl<fw::EditField>({.name = "tbox", .bounds = {10, 10, 188, 22}});
        field->OnKeyDown([](const std::string&) { return false; });
        w.AddControl<fw::CheckBox>({.name = "cb", .caption = "Box", .bounds = {10, 40, 100, 20}});
        auto* okButton = w.AddControl<fw::PushButton>(
            {.name = "btn_OK", .caption = "OK", .bounds = {100, 80, 80, 20}});
        auto* cancelButton = w.AddControl<fw::PushButton>(
            {.name = "btn_Cancel", .caption = "Cancel", .bounds = {10, 80, 80, 20}});
        okButton->SetDefault(true);
        cancelButton->SetCancel(true);
        okButton->OnAction([&ok] { ++ok; });
        cancelButton->OnAction([&cancel] { ++cancel; });
    });
    Activate(window);
    auto* field = window->FindControl<fw::EditField>("tbox");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(ok, 2);
    auto* box = window->FindControl<fw::CheckBox>("cb");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(ok, 3);
    // The default button shows the keyboard focus too.
    auto* okButton = window->FindControl<fw::PushButton>("btn_OK");
    const QImage unfocused = okButton->grab().toImage();
    QTest::keyClick(box, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), okButton);
    EXPECT_TRUE(okButton->grab().toImage() != unfocused);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(cancel, 1);
    // A disabled default button is not pressed.
    window->FindControl("btn_OK")->SetEnabled(false);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(ok, 3);
    delete window;
}

TEST(Controls, ALineTooLongForItsLabelIsCutShortAndWholeOnThePointer) {
    fw::StaticText* label = nullptr;
    fw::StaticText* tagged = nullptr;
    auto* window = MakeWindow(nullptr, [&](TestWindow& w) {
        label = w.AddControl<fw::StaticText>({.name = "lbl", .bounds = {10, 10, 80, 20}});
        tagged = w.AddControl<fw::StaticText>(
            {.name = "tagged", .bounds = {10, 40, 80, 20}, .helpTag = "Help"});
    });
    const std::string longText = "QQQQQQQQQQQQQQQQ:Quadrelle boards are only 15 spaces across. ";
    label->SetText(longText);
    tagged->SetText(longText);
    EXPECT_EQ(label->Text(), longText);
    EXPECT_NE(label->text().toStdString(), longText);
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026)));
    EXPECT_EQ(label->toolTip().toStdString(), longText);
    EXPECT_EQ(tagged->toolTip(), "Help"); // a help tag of its own stays

    label->SetText("Short");
    EXPECT_EQ(label->text(), "Short");
    EXPECT_TRUE(label->toolTip().isEmpty());
    delete window;
}

TEST(Controls, ALineAFewPixelsTooLongIsSetNarrowerInsteadOfCut) {
    fw::StaticText* label = nullptr;
    auto* window = MakeWindow(nullptr, [&](TestWindow& w) {
        label = w.AddControl<fw::StaticText>({.name = "lbl", .bounds = {10, 10, 300, 20}});
    });
    label->SetText("Enter word here:");
    const int natural = label->fontMetrics().horizontalAdvance("Enter word here:");
    label->SetWidth(natural * 96 / 100);
    EXPECT_EQ(label->text(), "Enter word here:");
    EXPECT_LT(label->font().stretch(), 100);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    label->SetWidth(natural + 20);
    EXPECT_EQ(label->text(), "Enter word here:");
    delete window;
}
