#include "ShellFixture.h"
#include "app/MenuBar1.h"
#include "windows/AboutWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <set>

namespace {

struct Row {
    const char* name;
    const char* text;
    const char* shortcut;
    fw::MenuItemKind kind;
    QKeySequence keys;
};

using K = fw::MenuItemKind;

std::vector<Row> FileRows() {
    return {
        {"FileNewCalc", "New Calc", "Cmd+N", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"FileSave", "Save", "Cmd+S", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"FileSaveA", "Save As", "Cmd+Shift+S", K::Plain,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"FileClose", "Close", "Cmd+W", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_W)},
        {"FileQuit", "Quit", "Cmd+Q", K::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
}

std::vector<Row> EditRows() {
    return {
        {"EditUndo", "Undo", "Cmd+Z", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"UntitledMenu0", "-", "", K::Separator, QKeySequence()},
        {"EditCut", "Cut", "Cmd+X", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"EditCopy", "Copy", "Cmd+C", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"EditPaste", "Paste", "Cmd+V", K::Plain, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"EditClear", "Clear", "", K::Plain, QKeySequence()},
        {"PrefMenu", "Preferences...", "Cmd+,", K::Preferences,
         QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {"AppleAboutTallorix", "About Tallorix...", "", K::About, QKeySequence()},
    };
}

void ExpectMenu(const fw::MenuBar& bar, QMenu* menu, const std::vector<Row>& rows) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        const fw::MenuItem* item = bar.Item(row.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Action(), actions[static_cast<qsizetype>(i)]); // in table order
        EXPECT_EQ(item->Text(), row.text);
        EXPECT_EQ(item->KeyboardShortcut(), row.shortcut);
        EXPECT_EQ(item->Kind(), row.kind);
        EXPECT_EQ(item->Action()->isSeparator(), row.kind == K::Separator);
        if (row.kind != K::Separator) {
            EXPECT_EQ(item->Action()->text().toStdString(), row.text);
            EXPECT_EQ(item->Action()->shortcut(), row.keys);
        }
    }
}

} // namespace

TEST_F(Shell, MenuBarHoldsExactlyTheFileAndEditMenus) {
    const fw::MenuBar& bar = *MenuBar1::instance();
    const std::vector<QMenu*> menus = bar.Menus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(bar.Item("FileMenu")->Text(), "&File");
    EXPECT_EQ(menus[0]->title().toStdString(), "&File");
    EXPECT_EQ(bar.Item("EditMenu")->Text(), "&Edit");
    EXPECT_EQ(menus[1]->title().toStdString(), "&Edit");
    ExpectMenu(bar, menus[0], FileRows());
    ExpectMenu(bar, menus[1], EditRows());
    EXPECT_EQ(bar.Items().size(), FileRows().size() + EditRows().size());

    Run([this] {
        SplashTimer()->Fire();
        Choose("FileNewCalc");
        // One bar for all: every calculator shows the same menus.
        ASSERT_EQ(Calculators().size(), 2u);
        for (TalloCalc* calc : Calculators()) {
            ASSERT_NE(calc->NativeMenuBar(), nullptr);
            EXPECT_EQ(calc->GetMenuBar(), MenuBar1::instance());
            EXPECT_EQ(calc->NativeMenuBar()->actions().front()->menu(),
                      MenuBar1::instance()->Menus()[0]);
        }
    });
}

TEST_F(Shell, MenusEnableTheApplicationsItemsAndWhatTheFrontWindowHandles) {
    const auto enabled = [] {
        std::set<std::string> names;
        for (fw::MenuItem* item : MenuBar1::instance()->Items()) {
            if (item->Kind() != fw::MenuItemKind::Separator && item->Enabled()) {
                names.insert(item->Name());
            }
        }
        return names;
    };
    const std::set<std::string> expected = {"FileNewCalc", "FileClose", "FileQuit", "PrefMenu",
                                            "AppleAboutTallorix"};
    Run([&] {
        EXPECT_EQ(FileNewCalc(), MenuBar1::instance()->Item("FileNewCalc"));
        EXPECT_EQ(FileQuit(), MenuBar1::instance()->Item("FileQuit"));
        EXPECT_EQ(FileClose(), MenuBar1::instance()->Item("FileClose"));
        EXPECT_EQ(AppleAboutTallorix(), MenuBar1::instance()->Item("AppleAboutTallorix"));

        SplashTimer()->Fire();
        Calculators().front()->Show();
        app->UpdateMenus();
        EXPECT_EQ(enabled(), expected);
        Choose("AppleAboutTallorix");
        app->UpdateMenus();
        EXPECT_EQ(enabled(), expected); // "Close" stays enabled, though nothing takes it
    });
}

TEST_F(Shell, CommandWClosesOnlyTheFrontCalculator) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("FileNewCalc");
        Choose("FileNewCalc");
        TalloCalc* two = CalculatorTitled("Tallorix 2");
        Press(two, Qt::Key_W);
        EXPECT_TRUE(two->IsClosed());
        EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 3"}));

        // Nothing of the system takes "Close", "Save" or "Save As" in the about window.
        AboutWindow& about = AboutWindow::instance();
        Press(&about, Qt::Key_W);
        Press(&about, Qt::Key_S);
        Press(&about, Qt::Key_S, Qt::ShiftModifier);
        EXPECT_FALSE(about.IsClosed());
        EXPECT_EQ(Calculators().size(), 2u);
    });
}

TEST_F(Shell, CommandNWithTheAboutWindowInFrontOpensACalculator) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("AppleAboutTallorix");
        AboutWindow* about = fw::SingleInstance<AboutWindow>::Current();
        ASSERT_NE(about, nullptr);
        Press(about, Qt::Key_N);
        EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 2"}));
        EXPECT_EQ(fw::FrontWindow(), CalculatorTitled("Tallorix 2"));
        EXPECT_FALSE(about->IsClosed());
    });
}
