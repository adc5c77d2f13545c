#include "ShellFixture.h"
#include "app/FileTypes.h"
#include "app/MenuBar1.h"

#include <QPointer>

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
    Run([this] {
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
    Run([this] {
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
