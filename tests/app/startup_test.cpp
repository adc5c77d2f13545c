#include "ShellFixture.h"
#include "app/FileTypes.h"
#include "app/MenuBar1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <cstdlib>

TEST_F(Shell, StartsWithTheSplashOnlyOpensOnceBeforeTheFirstCalculatorAndShutsDown) {
    ASSERT_NE(FileTypes::pText, nullptr);
    EXPECT_EQ(FileTypes::pText->Name, "text");
    EXPECT_EQ(FileTypes::pText->Extensions, "");
    EXPECT_EQ(FileTypes::pText->MacType, "TEXT");
    EXPECT_EQ(FileTypes::pText->MacCreator, "R*ch");
    ASSERT_EQ(App::instance(), app);
    EXPECT_EQ(app->GetMenuBar(), MenuBar1::instance());
    for (const char* item : {"FileNewCalc", "FileQuit", "AppleAboutTallorix", "PrefMenu"}) {
        EXPECT_TRUE(app->HasMenuHandler(item)) << item;
    }
    EXPECT_FALSE(app->HasMenuHandler("FileClose")); // each calculator takes its own
    EXPECT_EQ(app->opens, 0);                       // the event loop raises Open
    ASSERT_NE(Splash(), nullptr);
    EXPECT_EQ(fw::OpenWindows(), std::vector<fw::Window*>{Splash()});

    EXPECT_EQ(
        Run([this] {
            EXPECT_EQ(app->opens, 1);
            EXPECT_EQ(app->windowsAtOpen, 1); // Open opens no window
            EXPECT_EQ(app->numWindows, 0);
            const std::vector<bool> defaults = {
                app->prefCenterSquareDouble,  app->prefEnableBlanks,
                app->prefEnableSpecialSpaces, app->prefEnforceWordLength,
                app->prefEnforceContraints,   app->prefOnlyUniqueScores,
                app->prefConstrainCombined,   app->prefConstrainIndividual};
            EXPECT_EQ(defaults,
                      (std::vector<bool>{true, true, false, true, true, true, false, true}));
            SplashTimer()->Fire();
            Choose("FileNewCalc");
            EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 2"}));
            Press(Calculators().front(), Qt::Key_Q);
            EXPECT_TRUE(fw::OpenWindows().empty());
        }),
        0);
    EXPECT_EQ(app->opens, 1);
    EXPECT_EQ(app->closes, 1);

    system.reset();
    EXPECT_EQ(App::instance(), nullptr);
    EXPECT_EQ(FileTypes::pText, nullptr);
    EXPECT_TRUE(fw::AllWindows().empty());
    EXPECT_EQ(FileNewCalc(), nullptr); // the item accessors need the application
}

TEST_F(Shell, QuitBeforeAnyCalculatorClosesOnce) {
    EXPECT_EQ(Run([this] { Choose("FileQuit"); }), 0);
    EXPECT_EQ(app->closes, 1);
    EXPECT_EQ(app->numWindows, 0);
}

TEST_F(Shell, ClosingTheLastWindowQuitsOnce) {
    bool quitByClose = false;
    EXPECT_EQ(Run([this, &quitByClose] {
                  SplashTimer()->Fire();
                  Press(Calculators().at(0), Qt::Key_W);
                  quitByClose = app->IsQuitting();
              }),
              0);
    EXPECT_TRUE(quitByClose);
    EXPECT_EQ(app->closes, 1);
}

TEST_F(Shell, SplashClickOpensCalculatorOneAndNeitherClickNorTimerOpensASecond) {
    Run([] {
        QPointer<SplashScreen> splash = Splash();
        QPointer<fw::Timer> timer = SplashTimer();
        EXPECT_EQ(timer->Period(), 10000);
        EXPECT_EQ(timer->Mode(), fw::TimerMode::Multiple);
        QWidget* content = splash->Content();
        QTest::mouseClick(content, Qt::LeftButton, {}, QPoint(40, 300));
        EXPECT_EQ(CalculatorTitles(), std::vector<std::string>{"Tallorix 1"});
        EXPECT_EQ(Splash(), nullptr);
        ASSERT_NE(splash, nullptr); // deleted only once the loop runs again
        QTest::mouseClick(content, Qt::LeftButton, {}, QPoint(40, 300));
        timer->Fire();
        EXPECT_EQ(Calculators().size(), 1u);
    });
}

TEST_F(Shell, TimerFiringDuringAClickStillOpensOneCalculator) {
    Run([] {
        QWidget* content = Splash()->Content();
        QTest::mousePress(content, Qt::LeftButton, {}, QPoint(40, 300));
        SplashTimer()->Fire();
        QTest::mouseRelease(content, Qt::LeftButton, {}, QPoint(40, 300));
        EXPECT_EQ(CalculatorTitles(), std::vector<std::string>{"Tallorix 1"});
    });
}

TEST_F(Shell, CalculatorNumbersAreNeverReused) {
    Run([this] {
        SplashTimer()->Fire();
        for (int i = 0; i < 3; ++i) {
            Choose("FileNewCalc");
        }
        EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 2",
                                                                "Tallorix 3", "Tallorix 4"}));
        Press(CalculatorTitled("Tallorix 3"), Qt::Key_W);
        Choose("FileNewCalc");
        EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 2",
                                                                "Tallorix 4", "Tallorix 5"}));
    });
}

// The splash is a modal dialog: the first calculator comes from it alone, and
// of the menu commands only Quit acts while it shows.
TEST_F(Shell, WhileTheSplashShowsOnlyQuitActsAndItSitsAtTheScreensCentre) {
    Run([this] {
        SplashScreen* splash = Splash();
        ASSERT_NE(splash, nullptr);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect outer = splash->geometry();
        EXPECT_LE(std::abs((outer.left() - screen.left()) - (screen.right() - outer.right())), 1);
        EXPECT_LE(std::abs((outer.top() - screen.top()) - (screen.bottom() - outer.bottom())), 1);

        app->UpdateMenus();
        for (fw::MenuItem* item : MenuBar1::instance()->Items()) {
            if (item->Kind() != fw::MenuItemKind::Separator) {
                EXPECT_EQ(item->Enabled(), item->Name() == "FileQuit") << item->Name();
            }
        }
        Press(splash, Qt::Key_N);
        Press(splash, Qt::Key_Comma);
        // Even a command that reaches the application is ignored.
        for (const char* item : {"FileNewCalc", "PrefMenu", "AppleAboutTallorix"}) {
            MenuBar1::instance()->Item(item)->Action()->setEnabled(true);
            MenuBar1::instance()->Item(item)->Action()->trigger();
        }
        EXPECT_EQ(fw::OpenWindows(), std::vector<fw::Window*>{splash});
        EXPECT_EQ(app->numWindows, 0);

        SplashTimer()->Fire();
        EXPECT_EQ(CalculatorTitles(), std::vector<std::string>{"Tallorix 1"});
        Choose("FileNewCalc");
        Choose("PrefMenu");
        EXPECT_EQ(CalculatorTitles(), (std::vector<std::string>{"Tallorix 1", "Tallorix 2"}));
    });
}

TEST_F(Shell, CommandQQuitsWhileTheSplashShows) {
    bool quit = false;
    EXPECT_EQ(Run([this, &quit] {
                  Press(Splash(), Qt::Key_Q);
                  quit = app->IsQuitting();
              }),
              0);
    EXPECT_TRUE(quit);
    EXPECT_EQ(app->closes, 1);
    EXPECT_EQ(app->numWindows, 0);
}

// A click that comes while a large preferences file is still being read waits
// for the reading, and then opens the first calculator with what was read.
TEST_F(Shell, AClickOnTheSplashWhileThePreferencesLoadIsNotLost) {
    const QString folder = home.filePath(QStringLiteral("config"));
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/org.tallorix.Tallorix.plist"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>EnableSpecialSpaces</key>\n\t<true/>\n";
    for (int i = 0; i < 40000; ++i) {
        text += "\t<key>Other" + QByteArray::number(i) + "</key>\n\t<integer>" +
                QByteArray::number(i) + "</integer>\n";
    }
    file.write(text + "</dict>\n</plist>\n");
    file.close();

    bool clickedWhileLoading = false;
    int calculatorsRightAfterClick = -1;
    QTimer::singleShot(0, [&] {
        clickedWhileLoading = app->myPrefs == nullptr;
        // Delivered at once, as the platform may hand it over in the middle
        // of the reading.
        QTest::mouseClick(Splash()->Content(), Qt::LeftButton, {}, QPoint(40, 300));
        calculatorsRightAfterClick = static_cast<int>(Calculators().size());
    });
    // Waits for the calculator, without a timer of the splash's.
    std::function<void(int)> check = [&](int round) {
        if (Calculators().empty() && round < 1000) {
            QTimer::singleShot(1, [&check, round] { check(round + 1); });
            return;
        }
        app->Quit();
    };
    QTimer::singleShot(0, [&] { check(0); });
    EXPECT_EQ(system->Run(), 0);
    EXPECT_TRUE(clickedWhileLoading);
    EXPECT_EQ(calculatorsRightAfterClick, 0);
    EXPECT_EQ(app->numWindows, 1);
}
