// The application without a mouse, and as a screen reader presents it.
#include "app/ShellFixture.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/RadioButton.h"
#include "framework/gui/Separator.h"
#include "framework/gui/StaticText.h"
#include "framework/gui/TabPanel.h"
#include "windows/AboutWindow.h"
#include "windows/TalloBoard.h"
#include "windows/prefsWindow.h"

#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QMenu>
#include <QTabBar>

namespace {

class Keyboard : public Shell {
protected:
    static void Activate(fw::Window* window) {
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::activePopupWidget();
        if (target == nullptr) {
            target = Focused() != nullptr ? Focused() : QApplication::activeWindow();
        }
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    }
    // Presses Tab until the control has the focus; false when it never comes.
    static bool TabTo(const fw::Window* window, const char* name, int index = -1) {
        QWidget* wanted = window->FindControl(name, index)->Widget();
        for (int i = 0; i < 40 && Focused() != wanted; ++i) {
            Key(Qt::Key_Tab);
        }
        return Focused() == wanted;
    }
    static void Toggle(const fw::Window* window, const char* name, int index = -1) {
        ASSERT_TRUE(TabTo(window, name, index)) << name;
        Key(Qt::Key_Space);
    }
    template <class T> static bool Value(const fw::Window* window, const char* name, int i = -1) {
        return window->FindControl<T>(name, i)->Value();
    }
};

TEST_F(Keyboard, CalculatorAndPreferencesWorkWithKeysAlone) {
    Run([this] {
        SplashTimer()->Fire();
        TalloCalc* calc = CalculatorTitled("Tallorix 1");
        ASSERT_NE(calc, nullptr);
        Activate(calc);
        EXPECT_EQ(Focused(), calc->FindControl("tbox_Word")->Widget());

        // The options panel opens from the triangle.
        Toggle(calc, "dt_Options");
        EXPECT_EQ(calc->Height(), 551);

        // Every option, and both tile modes.
        using CB = fw::CheckBox;
        Toggle(calc, "cb_specialSpaces");
        EXPECT_TRUE(Value<CB>(calc, "cb_specialSpaces"));
        EXPECT_FALSE(calc->FindControl("cb_wordLength")->Enabled());
        for (const char* name : {"cb_uniqueScores", "cb_centerSquare", "cb_blankTiles"}) {
            const bool before = Value<CB>(calc, name);
            Toggle(calc, name);
            EXPECT_NE(Value<CB>(calc, name), before) << name;
        }
        Toggle(calc, "rb_alphabet", 1);
        EXPECT_TRUE(Value<fw::RadioButton>(calc, "rb_alphabet", 1));
        EXPECT_FALSE(Value<fw::RadioButton>(calc, "rb_alphabet", 0));
        Toggle(calc, "rb_alphabet", 0);
        EXPECT_TRUE(Value<fw::RadioButton>(calc, "rb_alphabet", 0));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right}) {
            const bool first = Value<fw::RadioButton>(calc, "rb_alphabet", 0);
            Key(key); // each arrow selects the other mode
            EXPECT_NE(Value<fw::RadioButton>(calc, "rb_alphabet", 0), first) << key;
        }
        Toggle(calc, "cb_alphabet");
        EXPECT_FALSE(Value<CB>(calc, "cb_alphabet"));
        EXPECT_FALSE(calc->FindControl("rb_alphabet", 0)->Enabled());
        Toggle(calc, "cb_specialSpaces");
        Toggle(calc, "cb_wordLength");
        EXPECT_FALSE(Value<CB>(calc, "cb_wordLength"));

        // A word, typed and confirmed with Return.
        ASSERT_TRUE(TabTo(calc, "tbox_Word"));
        QTest::keyClicks(Focused(), "quiz");
        Key(Qt::Key_Return);
        auto* results = calc->FindControl<fw::Listbox>("lbox_wordValue");
        ASSERT_EQ(results->RowCount(), 1);
        EXPECT_EQ(results->Cell(0, 0), "QUIZ");

        // The result list, then Clear List.
        ASSERT_TRUE(TabTo(calc, "lbox_wordValue"));
        Key(Qt::Key_Space);
        EXPECT_EQ(results->ListIndex(), 0);
        Toggle(calc, "btn_clearList");
        EXPECT_EQ(results->RowCount(), 0);

        // View Board and Show Letters.
        Toggle(calc, "btn_Board");
        ASSERT_NE(fw::SingleInstance<TalloBoard>::Current(), nullptr);
        EXPECT_TRUE(fw::SingleInstance<TalloBoard>::Current()->isVisible());
        Activate(calc);
        Toggle(calc, "btn_Letters");
        EXPECT_EQ(calc->FindControl<fw::PushButton>("btn_Letters")->Caption(), "Hide Letters");

        // F6 moves into the drawer and back, from the word field too, whose
        // key filter would swallow the key; Shift+F6 moves back.
        fw::Window* drawer = nullptr;
        for (fw::Window* window : fw::OpenWindows()) {
            if (window->ParentWindow() == calc && window->Frame() == fw::WindowFrame::Drawer) {
                drawer = window;
            }
        }
        ASSERT_NE(drawer, nullptr);
        QWidget* tiles = drawer->FindControl("lbox_Tiles")->Widget();
        // The offscreen platform activates every window it shows, a drawer
        // too, where a desktop leaves the focus in the calculator.
        QCoreApplication::processEvents();
        Activate(calc);
        ASSERT_TRUE(TabTo(calc, "tbox_Word"));
        QWidget* field = Focused();
        for (const Qt::KeyboardModifiers modifiers :
             {Qt::NoModifier, Qt::ShiftModifier, Qt::NoModifier, Qt::NoModifier}) {
            fw::Window* pane = Focused() == field ? drawer : calc;
            Key(Qt::Key_F6, modifiers);
            // A drawer counts as active with its window already, so
            // qWaitForWindowActive can't tell.
            ASSERT_TRUE(QTest::qWaitFor([pane] { return QApplication::activeWindow() == pane; }));
            EXPECT_EQ(Focused(), pane == drawer ? tiles : field);
        }

        // Preferences: one option changed, confirmed with Return (OK).
        Key(Qt::Key_Comma, Qt::ControlModifier);
        prefsWindow* prefs = fw::SingleInstance<prefsWindow>::Current();
        ASSERT_NE(prefs, nullptr);
        Activate(prefs);
        EXPECT_TRUE(app->prefEnableBlanks);
        Toggle(prefs, "cb_blankTiles");
        Key(Qt::Key_Return);
        EXPECT_TRUE(prefs->IsClosed());
        EXPECT_FALSE(app->prefEnableBlanks);

        // It reaches the next new window.
        Activate(calc);
        Key(Qt::Key_N, Qt::ControlModifier);
        TalloCalc* next = CalculatorTitled("Tallorix 2");
        ASSERT_NE(next, nullptr);
        EXPECT_FALSE(Value<CB>(next, "cb_blankTiles"));
        EXPECT_TRUE(Value<CB>(calc, "cb_blankTiles") != Value<CB>(next, "cb_blankTiles") ||
                    !Value<CB>(calc, "cb_blankTiles"));
    });
}

// Each edit command chosen with the keys acts on the word field as a click
// does, the menu opened from the bar (Alt, Right).
TEST_F(Keyboard, EditMenuFromTheKeyboardActsOnTheWordField) {
    // The item, the clipboard before; the field ("abc" typed, selected) and clipboard after.
    const char* const rows[][4] = {{"EditUndo", "", "", ""},
                                   {"EditCut", "", "", "abc"},
                                   {"EditCopy", "", "abc", "abc"},
                                   {"EditPaste", "xy", "xy", "xy"},
                                   {"EditClear", "", "", ""}};
    Run([&] {
        SplashTimer()->Fire();
        Activate(CalculatorTitled("Tallorix 1"));
        auto* field = CalculatorTitled("Tallorix 1")->FindControl<fw::EditField>("tbox_Word");
        for (const auto& [item, clipboardBefore, text, clipboard] : rows) {
            field->SetText("");
            QTest::keyClicks(field, "abc");
            field->selectAll();
            QApplication::clipboard()->setText(clipboardBefore);
            for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_Right, Qt::Key_Down}) {
                Key(key);
            }
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QAction* wanted = app->GetMenuBar()->Item(item)->Action();
            for (int i = 0; i < 9 && menu->activeAction() != wanted; ++i) {
                Key(Qt::Key_Down);
            }
            ASSERT_EQ(menu->activeAction(), wanted) << item;
            Key(Qt::Key_Return);
            EXPECT_EQ(field->Text(), text) << item;
            EXPECT_EQ(QApplication::clipboard()->text().toStdString(), clipboard) << item;
        }
    });
}

// What a screen reader gets for one control: its role and its name.
void ExpectAnnounced(fw::Control& control, const std::string& where) {
    QWidget* widget = control.Widget();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(face, nullptr) << where;
    const QString name = face->text(QAccessible::Name);
    const QAccessible::Role role = face->role();
    if (dynamic_cast<fw::RadioButton*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::RadioButton) << where;
        EXPECT_TRUE(face->state().checkable) << where;
    } else if (dynamic_cast<fw::DisclosureTriangle*>(&control) != nullptr) {
        EXPECT_TRUE(role == QAccessible::CheckBox ||
                    (role == QAccessible::Button && face->state().checkable))
            << where;
        EXPECT_EQ(name, QStringLiteral("Options")) << where;
    } else if (dynamic_cast<fw::CheckBox*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::CheckBox) << where;
    } else if (dynamic_cast<fw::PushButton*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::Button) << where;
    } else if (dynamic_cast<fw::EditField*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::EditableText) << where;
    } else if (dynamic_cast<fw::Listbox*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::Table) << where;
    } else if (dynamic_cast<fw::StaticText*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::StaticText) << where;
        // A line cut short on the screen is read whole.
        EXPECT_EQ(name.toStdString(), static_cast<fw::StaticText&>(control).Text()) << where;
    } else if (dynamic_cast<fw::GroupBox*>(&control) != nullptr) {
        EXPECT_EQ(role, QAccessible::Grouping) << where;
    } else if (dynamic_cast<fw::Separator*>(&control) != nullptr) {
        return; // a line, nothing to read
    } else if (auto* panel = dynamic_cast<fw::TabPanel*>(&control)) {
        // The tabs are what is read.
        auto* tabs = panel->findChild<QTabBar*>();
        ASSERT_NE(tabs, nullptr) << where;
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
        ASSERT_NE(bar, nullptr) << where;
        EXPECT_EQ(bar->role(), QAccessible::PageTabList) << where;
        // The tabs and nothing else: no scroll buttons where every tab fits.
        ASSERT_EQ(bar->childCount(), panel->TabCount()) << where;
        for (int tab = 0; tab < bar->childCount(); ++tab) {
            EXPECT_EQ(bar->child(tab)->role(), QAccessible::PageTab) << where;
            EXPECT_EQ(bar->indexOfChild(bar->child(tab)), tab) << where;
        }
        EXPECT_EQ(bar->child(0)->text(QAccessible::Name), QStringLiteral("Defaults")) << where;
        EXPECT_TRUE(bar->child(0)->state().selected) << where;
        return;
    } else {
        ADD_FAILURE() << "a control of no known kind: " << where;
    }
    EXPECT_FALSE(name.trimmed().isEmpty()) << where;
}

// A window is announced by its title when the user switches to it: a
// dialog when it is the title-less modal kind, else a frame. Returns how many
// controls were looked at (the board window has none).
int ExpectWindowAnnounced(fw::Window& window) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(face->role(), window.Frame() == fw::WindowFrame::ModalDialog ? QAccessible::Dialog
                                                                           : QAccessible::Window)
        << window.Title();
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), window.Title());
    int seen = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        auto* control = dynamic_cast<fw::Control*>(widget);
        if (control == nullptr || !widget->isVisible()) {
            continue;
        }
        ++seen;
        ExpectAnnounced(*control, window.Title() + " / " + control->Name());
    }
    return seen;
}

TEST_F(Keyboard, EveryVisibleControlOfEveryWindowHasANameAndItsRole) {
    Run([this] {
        ASSERT_NE(Splash(), nullptr);
        ASSERT_TRUE(Splash()->isVisible());
        EXPECT_EQ(ExpectWindowAnnounced(*Splash()), 1);
        // A message box is the alert kind of dialog, named by the application.
        fw::SetMsgBoxCatcher(nullptr);
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
            EXPECT_EQ(face->role(), QAccessible::AlertMessage);
            EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Tallorix"));
            box->accept();
        });
        fw::MsgBox("The preferences could not be saved.");
        fw::SetMsgBoxCatcher([this](const std::string& text) { messages.push_back(text); });
        SplashTimer()->Fire();
        TalloCalc* calc = CalculatorTitled("Tallorix 1");
        ASSERT_NE(calc, nullptr);
        calc->FindControl<fw::DisclosureTriangle>("dt_Options")->SetValue(true);
        calc->btn_Letters_Action();
        // A message line too long for its place.
        calc->FindControl<fw::EditField>("tbox_Word")->SetText(std::string(16, 'q'));
        calc->btn_Calc_Action();
        auto* message = calc->FindControl<fw::StaticText>("lbl_error");
        ASSERT_TRUE(message->isVisible());
        ASSERT_NE(message->text().toStdString(), message->Text()); // cut on the screen
        EXPECT_EQ(QAccessible::queryAccessibleInterface(calc->FindControl("tbox_Word")->Widget())
                      ->text(QAccessible::Name),
                  QStringLiteral("Enter word here:"));

        Choose("AppleAboutTallorix");
        Choose("PrefMenu");
        app->showBoard();
        int windows = 0;
        int controls = 0;
        for (fw::Window* window : fw::OpenWindows()) {
            if (window->isVisible()) {
                ++windows;
                controls += ExpectWindowAnnounced(*window);
            }
        }
        EXPECT_EQ(windows, 5); // calculator, drawer, about, preferences, board
        // The calculator's 21 in sight and its own tile list with its box, the
        // drawer's list, the about label, the preferences' 12.
        EXPECT_EQ(controls, 23 + 1 + 1 + 12);
    });
}

} // namespace
