#include "ShellFixture.h"
#include "app/Pictures.h"
#include "framework/gui/StaticText.h"
#include "windows/AboutWindow.h"
#include "windows/TalloBoard.h"

#include <QPointer>

namespace {

void ExpectLabel(const fw::Window& window, const std::string& text, const fw::Rect& bounds,
                 const QColor& colour) {
    auto* label = window.FindControl<fw::StaticText>("StaticText1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Text(), text);
    EXPECT_EQ(label->Left(), bounds.left);
    EXPECT_EQ(label->Top(), bounds.top);
    EXPECT_EQ(label->Width(), bounds.width);
    EXPECT_EQ(label->Height(), bounds.height);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
}

bool HasCloseBox(const QWidget& window) {
    return window.windowFlags().testFlag(Qt::WindowCloseButtonHint);
}

// Fixed-size windows can't be resized by the user.
bool IsFixed(const QWidget& window) {
    return window.minimumSize() == window.maximumSize();
}

} // namespace

TEST_F(Shell, SplashShowsTheSplashPictureWithItsVersionLabel) {
    SplashScreen* splash = Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->Title(), "Tallorix");
    EXPECT_EQ(splash->Width(), 400);
    EXPECT_EQ(splash->Height(), 400);
    EXPECT_EQ(splash->Frame(), fw::WindowFrame::ModalDialog);
    EXPECT_FALSE(HasCloseBox(*splash));
    EXPECT_TRUE(IsFixed(*splash));
    EXPECT_EQ(splash->Backdrop().cacheKey(), splashbmp().cacheKey());
    ExpectLabel(*splash, "Version:", {256, 116, 124, 20}, QColor(0, 0, 0));
}

TEST_F(Shell, AboutOpensOneWindowAndANewOneAfterClose) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("AppleAboutTallorix");
        QPointer<AboutWindow> first = fw::SingleInstance<AboutWindow>::Current();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->Title(), "Untitled");
        EXPECT_EQ(first->Width(), 400);
        EXPECT_EQ(first->Height(), 400);
        EXPECT_EQ(first->Frame(), fw::WindowFrame::Document);
        EXPECT_TRUE(HasCloseBox(*first));
        EXPECT_TRUE(IsFixed(*first));
        EXPECT_EQ(first->GetMenuBar(), nullptr);
        EXPECT_EQ(first->Backdrop().cacheKey(), splashbmp().cacheKey());
        ExpectLabel(*first, "Version: ", {266, 120, 100, 20}, QColor(0x69, 0x69, 0x69));

        Press(Calculators().front(), Qt::Key_N); // another window in front
        Choose("AppleAboutTallorix");
        EXPECT_EQ(fw::SingleInstance<AboutWindow>::Current(), first.data());
        EXPECT_EQ(fw::FrontWindow(), first.data());

        first->Close(); // its close box
        Choose("AppleAboutTallorix");
        AboutWindow* second = fw::SingleInstance<AboutWindow>::Current();
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(first == nullptr || first->IsClosed());
        EXPECT_TRUE(second->isVisible());
        EXPECT_EQ(second->Backdrop().cacheKey(), splashbmp().cacheKey());
        ExpectLabel(*second, "Version: ", {266, 120, 100, 20}, QColor(0x69, 0x69, 0x69));
    });
}

TEST_F(Shell, ViewBoardOpensOneFloatingBoardWindowAndANewOneAfterClose) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("FileNewCalc");
        app->showBoard();
        QPointer<TalloBoard> first = fw::SingleInstance<TalloBoard>::Current();
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->Title(), "Quadrelle Board");
        EXPECT_EQ(first->Width(), 450);
        EXPECT_EQ(first->Height(), 473);
        EXPECT_EQ(first->Frame(), fw::WindowFrame::Floating);
        EXPECT_TRUE(HasCloseBox(*first));
        EXPECT_TRUE(IsFixed(*first));
        EXPECT_EQ(first->Backdrop().cacheKey(), boardbmp().cacheKey());

        Press(CalculatorTitled("Tallorix 1"), Qt::Key_Z); // a press in another calculator
        app->showBoard();
        EXPECT_EQ(fw::SingleInstance<TalloBoard>::Current(), first.data());
        EXPECT_EQ(fw::FrontWindow(), first.data());

        first->Close();
        app->showBoard();
        TalloBoard* second = fw::SingleInstance<TalloBoard>::Current();
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(first == nullptr || first->IsClosed());
        EXPECT_EQ(second->Backdrop().cacheKey(), boardbmp().cacheKey());
    });
}
