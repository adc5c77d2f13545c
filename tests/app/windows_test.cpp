#include "ShellFixture.h"
#include "app/Pictures.h"
#include "framework/gui/StaticText.h"
#include "windows/AboutWindow.h"
#include "windows/TalloBoard.h"

#include <QPointer>

namespace {

// Title, content size, frame, close box; none of these windows can be resized.
void ExpectDesign(const fw::Window& window, const std::string& title, int width, int height,
                  fw::WindowFrame frame, bool closeBox, const fw::Picture& backdrop) {
    EXPECT_EQ(window.Title(), title);
    EXPECT_EQ(window.Width(), width);
    EXPECT_EQ(window.Height(), height);
    EXPECT_EQ(window.Frame(), frame);
    EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowCloseButtonHint), closeBox);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.Backdrop().cacheKey(), backdrop.cacheKey());
}

void ExpectLabel(const fw::Window& window, const std::string& text, const fw::Rect& bounds,
                 const QColor& colour) {
    auto* label = window.FindControl<fw::StaticText>("StaticText1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Text(), text);
    const fw::Rect at = label->CurrentBounds();
    EXPECT_EQ(std::tie(at.left, at.top, at.width, at.height),
              std::tie(bounds.left, bounds.top, bounds.width, bounds.height));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
}

} // namespace

TEST_F(Shell, SplashShowsTheSplashPictureWithItsVersionLabel) {
    ASSERT_NE(Splash(), nullptr);
    ExpectDesign(*Splash(), "Tallorix", 400, 400, fw::WindowFrame::ModalDialog, false, splashbmp());
    ExpectLabel(*Splash(), "Version:", {256, 116, 124, 20}, QColor(0, 0, 0));
}

TEST_F(Shell, AboutShowsOneWindowAndANewOneAfterClose) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("AppleAboutTallorix");
        QPointer<AboutWindow> first = fw::SingleInstance<AboutWindow>::Current();
        ASSERT_NE(first, nullptr);
        ExpectDesign(*first, "Untitled", 400, 400, fw::WindowFrame::Document, true, splashbmp());
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
        EXPECT_EQ(second->Backdrop().cacheKey(), splashbmp().cacheKey());
        ExpectLabel(*second, "Version: ", {266, 120, 100, 20}, QColor(0x69, 0x69, 0x69));
    });
}

TEST_F(Shell, ViewBoardShowsOneFloatingBoardWindowAndANewOneAfterClose) {
    Run([this] {
        SplashTimer()->Fire();
        Choose("FileNewCalc");
        app->showBoard();
        QPointer<TalloBoard> first = fw::SingleInstance<TalloBoard>::Current();
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->isVisible());
        ExpectDesign(*first, "Quadrelle Board", 450, 473, fw::WindowFrame::Floating, true,
                     boardbmp());

        Press(CalculatorTitled("Tallorix 1"), Qt::Key_Z); // another calculator in front
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
