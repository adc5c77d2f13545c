#include "ShellFixture.h"
#include "app/MenuBar1.h"
#include "windows/AboutWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <set>

namespace {

// A menu as the user meets it: "name|text|shortcut as typed|kind" per
// entry, in order, read back from the actions the bar shows.
std::vector<std::string> Listing(const fw::MenuBar& bar, QMenu* menu) {
    static const char* const kinds[] = {"", "quit", "prefs", "about", "separator"};
    std::vector<std::string> rows;
    for (QAction* action : menu->actions()) {
        const fw::MenuItem* item = bar.Item(action->objectName().toStdString());
        if (item == nullptr || item->Action() != action) {
            rows.push_back("?");
            continue;
        }
        std::string row = item->Name() + "|" + item->Text() + "|" +
                          action->shortcut().toString(QKeySequence::PortableText).toStdString() +
                          "|" + kinds[static_cast<int>(item->Kind())];
        if (!action->isSeparator() && action->text().toStdString() != item->Text()) {
            row += "|shows " + action->text().toStdString();
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST_F(Shell, MenuBarHoldsExactlyTheFileAndEditMenus) {
    const fw::MenuBar& bar = *MenuBar1::instance();
    const std::vector<QMenu*> menus = bar.Menus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0]->title().toStdString(), "&File");
    EXPECT_EQ(menus[1]->title().toStdString(), "&Edit");
    EXPECT_EQ(bar.Item("FileMenu")->Action(), menus[0]->menuAction());
    EXPECT_EQ(bar.Item("EditMenu")->Action(), menus[1]->menuAction());
    EXPECT_EQ(Listing(bar, menus[0]), (std::vector<std::string>{
                                          "FileNewCalc|New Calc|Ctrl+N|",
                                          "FileSave|Save|Ctrl+S|",
                                          "FileSaveA|Save As|Ctrl+Shift+S|",
                                          "FileClose|Close|Ctrl+W|",
                                          "FileQuit|Quit|Ctrl+Q|quit",
                                      }));
    EXPECT_EQ(Listing(bar, menus[1]), (std::vector<std::string>{
                                          "EditUndo|Undo|Ctrl+Z|",
                                          "UntitledMenu0|-||separator",
                                          "EditCut|Cut|Ctrl+X|",
                                          "EditCopy|Copy|Ctrl+C|",
                                          "EditPaste|Paste|Ctrl+V|",
                                          "EditClear|Clear||",
                                          "PrefMenu|Preferences...|Ctrl+,|prefs",
                                          "AppleAboutTallorix|About Tallorix...||about",
                                      }));
    EXPECT_EQ(bar.Item("FileSaveA")->KeyboardShortcut(), "Cmd+Shift+S");
    EXPECT_EQ(bar.Item("PrefMenu")->KeyboardShortcut(), "Cmd+,");

    Run([this] {
        SplashTimer()->Fire();
        Choose("FileNewCalc");
        for (TalloCalc* calc : Calculators()) { // one bar for all
            ASSERT_NE(calc->NativeMenuBar(), nullptr);
            EXPECT_EQ(calc->GetMenuBar(), MenuBar1::instance());
            EXPECT_EQ(calc->NativeMenuBar()->actions().at(1)->menu(),
                      MenuBar1::instance()->Menus()[1]);
        }
    });
}

TEST_F(Shell, MenusEnableTheApplicationsItemsWhateverWindowIsInFront) {
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
        for (fw::MenuItem* item : {FileNewCalc(), FileQuit(), FileClose(), AppleAboutTallorix()}) {
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item, MenuBar1::instance()->Item(item->Name()));
        }
        SplashTimer()->Fire();
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

        // In the about window nothing of the system takes Close, Save or Save As.
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
