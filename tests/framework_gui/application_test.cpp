#include "TestWindow.h"
#include "framework/core/Clipboard.h"
#include "framework/gui/Application.h"
#include "framework/gui/EditField.h"
#include "framework/gui/MenuBar.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::vector<fw::MenuDesign> Menus() {
    using K = fw::MenuItemKind;
    return {
        {"FileMenu",
         "&File",
         {{"FileNewCalc", "New Calc", "Cmd+N"},
          {"FileSave", "Save", "Cmd+S"},
          {"FileSaveA", "Save As", "Cmd+Shift+S"},
          {"FileClose", "Close", "Cmd+W"},
          {"FileQuit", "Quit", "Cmd+Q", K::Quit}}},
        {"EditMenu",
         "&Edit",
         {{"EditUndo", "Undo", "Cmd+Z"},
          {"UntitledMenu0", "-", ""},
          {"EditCopy", "Copy", "Cmd+C"},
          {"EditPaste", "Paste", "Cmd+V"},
          {"EditClear", "Clear", ""},
          {"PrefMenu", "Preferences...", "Cmd+,", K::Preferences},
          {"AppleAboutTallorix", "About Tallorix...", "", K::About}}},
    };
}

class TestApp : public fw::Application {
public:
    int opens = 0;
    int closes = 0;
    int enables = 0;
    std::function<void()> onOpen;

protected:
    void Event_Open() override {
        ++opens;
        if (onOpen) {
            onOpen();
        }
    }
    void Event_EnableMenuItems() override {
        ++enables;
        GetMenuBar()->Item("FileClose")->SetEnabled(true);
    }
    void Event_Close() override { ++closes; }
};

// A document window that shows the bar and closes itself on "FileClose".
TestWindow* Document(fw::MenuBar* bar) {
    return MakeWindow([bar](TestWindow& w) { w.SetMenuBar(bar); }, nullptr,
                      [](TestWindow& w) {
                          w.AddMenuHandler("FileClose", [&w] {
                              w.Close();
                              return false;
                          });
                      });
}

struct AppFixture : ::testing::Test {
    void SetUp() override {
        bar = std::make_unique<fw::MenuBar>(Menus());
        app = std::make_unique<TestApp>();
        app->SetMenuBar(bar.get());
        app->AddMenuHandler("FileNewCalc", [this] {
            documents.push_back(Document(bar.get()));
            return false;
        });
    }
    void TearDown() override {
        app.reset();
        bar.reset();
    }

    std::unique_ptr<fw::MenuBar> bar;
    std::unique_ptr<TestApp> app;
    std::vector<TestWindow*> documents;
};

} // namespace

TEST(MenuBar, MapsShortcutsAndRoles) {
    EXPECT_EQ(fw::MenuBar::ShortcutFor("Cmd+N"), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(fw::MenuBar::ShortcutFor("Cmd+Shift+S"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_EQ(fw::MenuBar::ShortcutFor("Cmd+,"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_TRUE(fw::MenuBar::ShortcutFor("").isEmpty());
    fw::MenuBar bar(Menus());
    EXPECT_EQ(bar.Item("FileQuit")->Action()->menuRole(), QAction::QuitRole);
    EXPECT_EQ(bar.Item("PrefMenu")->Action()->menuRole(), QAction::PreferencesRole);
    EXPECT_EQ(bar.Item("AppleAboutTallorix")->Action()->menuRole(), QAction::AboutRole);
    EXPECT_EQ(bar.Item("FileNewCalc")->Action()->menuRole(), QAction::NoRole);
    EXPECT_TRUE(bar.Item("UntitledMenu0")->Action()->isSeparator());
    EXPECT_EQ(bar.Item("EditMenu")->Text(), "&Edit");
    EXPECT_EQ(bar.Item("Nothing"), nullptr);
}

TEST_F(AppFixture, OneBarSharedByWindowsAndUpdatedFromHandlers) {
    auto* one = Document(bar.get());
    auto* two = Document(bar.get());
    ASSERT_NE(one->NativeMenuBar(), nullptr);
    EXPECT_EQ(one->NativeMenuBar()->actions(), two->NativeMenuBar()->actions());
    Activate(one);
    app->UpdateMenus();
    EXPECT_EQ(app->enables, 1);
    EXPECT_TRUE(bar->Item("FileNewCalc")->Enabled()); // application handler
    EXPECT_TRUE(bar->Item("FileClose")->Enabled());   // enabled by the event
    EXPECT_FALSE(bar->Item("FileSave")->Enabled());   // no handler anywhere
    EXPECT_FALSE(bar->Item("FileSaveA")->Enabled());
    EXPECT_FALSE(bar->Item("PrefMenu")->Enabled());
    app->AddMenuHandler("PrefMenu", [] { return false; });
    app->UpdateMenus();
    EXPECT_TRUE(bar->Item("PrefMenu")->Enabled());
    delete one;
    delete two;
}

TEST_F(AppFixture, EditCommandsWorkInTheFocusedTextField) {
    auto* window = MakeWindow(nullptr, [](TestWindow& w) {
        w.AddControl<fw::EditField>({.name = "field", .bounds = {10, 10, 150, 22}});
    });
    Activate(window);
    app->UpdateMenus();
    EXPECT_FALSE(bar->Item("EditCopy")->Enabled()); // no text field has the focus

    auto* field = window->FindControl<fw::EditField>("field");
    field->setFocus();
    field->SetText("word");
    field->selectAll();
    QGuiApplication::clipboard()->clear();
    app->UpdateMenus();
    EXPECT_TRUE(bar->Item("EditCopy")->Enabled());
    EXPECT_TRUE(bar->Item("EditClear")->Enabled());
    EXPECT_FALSE(bar->Item("EditPaste")->Enabled()); // nothing to paste yet

    app->MenuItemChosen(*bar->Item("EditCopy"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "word");
    app->MenuItemChosen(*bar->Item("EditClear"));
    EXPECT_EQ(field->Text(), "");
    app->UpdateMenus();
    EXPECT_TRUE(bar->Item("EditPaste")->Enabled());
    EXPECT_TRUE(bar->Item("EditUndo")->Enabled());
    app->MenuItemChosen(*bar->Item("EditPaste"));
    app->MenuItemChosen(*bar->Item("EditPaste"));
    EXPECT_EQ(field->Text(), "wordword");
    app->MenuItemChosen(*bar->Item("EditUndo"));
    EXPECT_EQ(field->Text(), "word");
    delete window;
}

TEST_F(AppFixture, ShortcutsGoToFrontWindowElseApplication) {
    auto* about = MakeWindow(nullptr); // shows no bar, installs no handler
    Activate(about);
    QTest::keyClick(about, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(fw::FrontWindow(), documents[0]); // a new window comes to the front
    Activate(about);
    QTest::keyClick(about, Qt::Key_S, Qt::ControlModifier); // no handler: nothing
    QTest::keyClick(about, Qt::Key_W, Qt::ControlModifier); // enabled, but no one takes it
    EXPECT_FALSE(about->IsClosed());

    auto* first = documents[0];
    Activate(first);
    QTest::keyClick(first, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(documents.size(), 2u);
    auto* second = documents[1];
    Activate(second);
    EXPECT_EQ(fw::FrontWindow(), second);
    QTest::keyClick(second, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(second->IsClosed());
    EXPECT_FALSE(first->IsClosed());
    EXPECT_EQ(second->closes, 1);
    delete about;
}

TEST_F(AppFixture, RunOpensOnceAndQuitClosesOnce) {
    TestWindow* window = nullptr;
    app->onOpen = [&] {
        EXPECT_EQ(fw::OpenWindows().size(), 0u);
        window = MakeWindow(nullptr);
        QTimer::singleShot(0, [&] { bar->Item("FileQuit")->Action()->trigger(); });
    };
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(app->opens, 1);
    EXPECT_EQ(app->closes, 1);
    EXPECT_TRUE(fw::AllWindows().empty()); // windows are gone before the object
    app->Quit();
    EXPECT_EQ(app->closes, 1);
}

TEST_F(AppFixture, ALoopEndedByTheSystemStillClosesOnce) {
    app->onOpen = [] { QTimer::singleShot(0, [] { QCoreApplication::exit(0); }); };
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(app->closes, 1);
}

TEST_F(AppFixture, ClosingLastVisibleWindowQuitsButDrawersAndHiddenDoNotCount) {
    app->onOpen = [&] {
        auto* main = MakeWindow(nullptr);
        MakeWindow([](TestWindow& w) { w.SetFrame(fw::WindowFrame::Drawer); }, nullptr, nullptr,
                   main)
            ->Show();
        MakeWindow([](TestWindow& w) { w.SetVisible(false); });
        auto* other = MakeWindow(nullptr);
        QTimer::singleShot(0, [main, other, this] {
            other->Close();
            EXPECT_FALSE(app->IsQuitting());
            main->Close();
            EXPECT_TRUE(app->IsQuitting());
        });
    };
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(app->closes, 1);
}

TEST_F(AppFixture, InstallsClipboardAndYieldServices) {
    fw::SetClipboardText("tiles");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("tiles"));
}
