#include "TestWindow.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/ProgressWheel.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/SingleInstance.h"
#include "framework/gui/StaticText.h"
#include "framework/gui/TabPanel.h"
#include "framework/gui/Timer.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

QRect RectInContent(const fw::Window& window, const char* name) {
    const fw::Control* control = window.FindControl(name);
    const QWidget* widget = control->Widget();
    return QRect(widget->mapTo(window.Content(), QPoint(0, 0)), widget->size());
}

void DesignSize(TestWindow& w, int width, int height) {
    w.SetResizable(false);
    w.SetSize(width, height);
}

} // namespace

TEST(Window, ConstructionRunsHooksInOrderThenOpensOnceAndShows) {
    auto* window = MakeWindow([](TestWindow& w) { w.SetTitle("Design"); });
    EXPECT_EQ(window->log,
              (std::vector<std::string>{"Layout", "CreateControls", "AddMenuHandlers", "Open"}));
    EXPECT_EQ(window->opens, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Title(), "Design");
    window->Show();
    EXPECT_EQ(window->opens, 1);
    delete window;

    auto* hidden = MakeWindow([](TestWindow& w) { w.SetVisible(false); });
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(hidden->opens, 1);
    delete hidden;
}

TEST(Window, WindowsOfAKindCascadeAndAllStayOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto inside = [&screen](const TestWindow* w) {
        return screen.contains(QRect(w->pos(), QSize(w->Width(), w->Height())));
    };
    std::vector<TestWindow*> windows;
    for (int i = 0; i < 40; ++i) {
        windows.push_back(MakeWindow([](TestWindow& w) {
            DesignSize(w, 200, 150);
            w.SetPlacement(fw::WindowPlacement::ParentWindow);
        }));
    }
    EXPECT_EQ(windows[1]->pos() - windows[0]->pos(), QPoint(24, 24));
    for (std::size_t i = 0; i < windows.size(); ++i) {
        EXPECT_TRUE(inside(windows[i])) << i;
        EXPECT_NE(windows[i]->pos(), i > 0 ? windows[i - 1]->pos() : QPoint(-1, -1)) << i;
    }
    // A window that grows past the bottom of the screen moves up.
    TestWindow* last = windows.back();
    last->move(screen.left(), screen.bottom() - 200);
    last->SetHeight(screen.height() / 2);
    EXPECT_TRUE(inside(last));
    for (TestWindow* w : windows) {
        delete w;
    }
}

struct Dialog : TestWindow {};

TEST(Window, ANewWindowStepsFromTheFrontWindowOfItsOwnKind) {
    auto design = [](TestWindow& w) {
        DesignSize(w, 200, 150);
        w.SetPlacement(fw::WindowPlacement::ParentWindow);
    };
    TestWindow* first = MakeWindow(design);
    first->move(100, 80);
    auto* dialog = new Dialog;
    dialog->layout = design;
    dialog->Construct(); // a window of another kind, now in front
    TestWindow* second = MakeWindow(design);
    EXPECT_EQ(second->pos(), first->pos() + QPoint(24, 24));
    delete second;
    delete dialog;
    delete first;
}

TEST(Window, CloseRaisesCloseOnceAndDeletesLater) {
    QPointer<TestWindow> window = MakeWindow(nullptr);
    window->Close();
    window->Close();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->closes, 1);
    EXPECT_TRUE(window->IsClosed());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// A window that binds one control as designed, one as the wrong kind and one
// that its design lacks.
struct Binding : TestWindow {
    explicit Binding(fw::Window* parent = nullptr) : TestWindow(parent) {}
    fw::CheckBox* box = nullptr;
    fw::PushButton* button = nullptr;
    bool wrong = true;

protected:
    void BindControls() override {
        box = BindControl<fw::CheckBox>("cb_there");
        if (wrong) {
            button = BindControl<fw::PushButton>("cb_there");
            BindControl<fw::CheckBox>("rb_gone", 1);
        }
    }
};

TEST(Window, AControlThatCantBeBoundKeepsTheWindowFromOpeningAndNamesIt) {
    std::vector<std::string> messages;
    fw::SetMsgBoxCatcher([&messages](const std::string& text) { messages.push_back(text); });
    const auto design = [](TestWindow& w) { w.AddControl<fw::CheckBox>({.name = "cb_there"}); };
    QPointer<Binding> window =
        MakeWindow<Binding>([](TestWindow& w) { w.SetTitle("Broken"); }, design);
    fw::SetMsgBoxCatcher(nullptr);

    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->log, (std::vector<std::string>{"Layout", "CreateControls"}));
    EXPECT_EQ(window->opens, 0);
    EXPECT_TRUE(window->IsClosed());
    window->Show();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\"Broken\""), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("cb_there, rb_gone(1)"), std::string::npos) << messages[0];
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());

    struct Sound : Binding {
        explicit Sound(fw::Window* parent = nullptr) : Binding(parent) { wrong = false; }
    };
    auto* sound = MakeWindow<Sound>(nullptr, design);
    EXPECT_EQ(sound->opens, 1);
    EXPECT_EQ(sound->box, sound->FindControl("cb_there"));
    delete sound;
}

struct Single : TestWindow {
    explicit Single(fw::Window* parent = nullptr) : TestWindow(parent) {}
};

TEST(Window, SingleInstanceIsReusedUntilClosed) {
    Single& first = fw::SingleInstance<Single>::Get();
    EXPECT_EQ(&fw::SingleInstance<Single>::Get(), &first);
    EXPECT_EQ(first.opens, 1);
    first.Close();
    EXPECT_EQ(fw::SingleInstance<Single>::Current(), nullptr);
    Single& second = fw::SingleInstance<Single>::Get();
    EXPECT_NE(&second, &first);
    EXPECT_EQ(second.opens, 1);
    delete &second;
}

TEST(Window, LockedControlsKeepTheirDistanceToLockedEdges) {
    auto* window = MakeWindow(
        [](TestWindow& w) { DesignSize(w, 400, 300); },
        [](TestWindow& w) {
            w.AddControl<fw::PushButton>({.name = "topLeft", .bounds = {10, 10, 80, 20}});
            w.AddControl<fw::PushButton>({.name = "bottom",
                                          .bounds = {10, 250, 80, 20},
                                          .locks = fw::LockLeft | fw::LockBottom});
            w.AddControl<fw::PushButton>(
                {.name = "stretch",
                 .bounds = {10, 100, 380, 100},
                 .locks = fw::LockLeft | fw::LockTop | fw::LockRight | fw::LockBottom});
            w.AddControl<fw::PushButton>(
                {.name = "free", .bounds = {200, 10, 50, 20}, .locks = fw::LockNone});
        });
    window->SetSize(300, 250);
    EXPECT_EQ(window->resizes, 1);
    EXPECT_EQ(RectInContent(*window, "topLeft"), QRect(10, 10, 80, 20));
    EXPECT_EQ(RectInContent(*window, "bottom"), QRect(10, 200, 80, 20));
    EXPECT_EQ(RectInContent(*window, "stretch"), QRect(10, 100, 280, 50));
    EXPECT_EQ(RectInContent(*window, "free"), QRect(200, 10, 50, 20));
    EXPECT_EQ(window->FindControl("bottom")->Top(), 200);
    window->SetSize(400, 300);
    EXPECT_EQ(RectInContent(*window, "bottom"), QRect(10, 250, 80, 20));
    EXPECT_EQ(RectInContent(*window, "stretch"), QRect(10, 100, 380, 100));
    delete window;
}

TEST(Window, ContainersPlaceChildrenInWindowCoordinatesAndHideThem) {
    auto* window = MakeWindow(
        [](TestWindow& w) { DesignSize(w, 400, 551); },
        [](TestWindow& w) {
            w.AddControl<fw::GroupBox>({.name = "gb",
                                        .bounds = {9, 360, 388, 182},
                                        .locks = fw::LockLeft | fw::LockBottom});
            w.AddControl<fw::PushButton>({.name = "inGroup",
                                          .container = "gb",
                                          .bounds = {25, 368, 197, 20},
                                          .locks = fw::LockLeft | fw::LockBottom});
            auto* tabs = w.AddControl<fw::TabPanel>({.name = "tabs", .bounds = {20, 14, 323, 200}});
            tabs->SetTabs({"Defaults"});
            w.AddControl<fw::PushButton>(
                {.name = "onTab", .container = "tabs", .bounds = {38, 60, 197, 20}});
        });
    EXPECT_EQ(RectInContent(*window, "inGroup"), QRect(25, 368, 197, 20));
    EXPECT_EQ(RectInContent(*window, "onTab"), QRect(38, 60, 197, 20));

    // Collapse and expand, as an options panel does.
    auto* group = window->FindControl<fw::GroupBox>("gb");
    group->SetVisible(false);
    window->SetHeight(369);
    EXPECT_FALSE(window->FindControl("inGroup")->Widget()->isVisible());
    EXPECT_EQ(window->FindControl("inGroup")->Top(), 368 - 182);
    group->SetVisible(true);
    window->SetHeight(551);
    EXPECT_TRUE(window->FindControl("inGroup")->Widget()->isVisible());
    EXPECT_EQ(RectInContent(*window, "inGroup"), QRect(25, 368, 197, 20));
    delete window;
}

TEST(Window, ClosingStopsItsTimers) {
    int fired = 0;
    auto* window = MakeWindow(nullptr, [&fired](TestWindow& w) {
        auto* timer = w.AddControl<fw::Timer>({.name = "Timer1"});
        timer->SetPeriod(10000);
        timer->SetMode(fw::TimerMode::Multiple);
        timer->OnAction([&fired] { ++fired; });
    });
    auto* timer = window->FindControl<fw::Timer>("Timer1");
    timer->Fire();
    timer->Fire();
    EXPECT_EQ(fired, 2);
    timer->SetMode(fw::TimerMode::Single);
    timer->Fire();
    timer->Fire();
    EXPECT_EQ(fired, 3);
    timer->SetMode(fw::TimerMode::Multiple);
    window->Close();
    timer->Fire();
    EXPECT_EQ(fired, 3);
    delete window;
}

struct Clickable : TestWindow {
    explicit Clickable(fw::Window* parent = nullptr) : TestWindow(parent) {}
    bool answer = false;
    int ups = 0;

protected:
    bool Event_MouseDown(int, int) override { return answer; }
    void Event_MouseUp(int, int) override { ++ups; }
};

TEST(Window, MouseUpComesOnlyAfterMouseDownAnsweredTrue) {
    auto* window = MakeWindow<Clickable>(nullptr, [](TestWindow& w) {
        w.AddControl<fw::StaticText>(
            {.name = "label", .caption = "Version:", .bounds = {10, 10, 100, 20}});
    });
    QTest::mouseClick(window->Content(), Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(window->ups, 0);
    window->answer = true;
    QTest::mouseClick(window->Content(), Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(window->ups, 1);
    // A click on a label reaches the window too.
    QTest::mouseClick(window->FindControl("label")->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->ups, 2);
    delete window;
}

TEST(Window, DrawerStandsBesideItsParentAndFollowsIt) {
    auto* parent = MakeWindow([](TestWindow& w) { DesignSize(w, 403, 369); });
    parent->move(100, 100);
    auto* drawer = MakeWindow(
        [](TestWindow& w) {
            w.SetFrame(fw::WindowFrame::Drawer);
            DesignSize(w, 148, 461);
        },
        [](TestWindow& w) {
            w.AddControl<fw::PushButton>(
                {.name = "fill",
                 .bounds = {3, 5, 138, 451},
                 .locks = fw::LockLeft | fw::LockTop | fw::LockRight | fw::LockBottom});
        },
        nullptr, parent);
    EXPECT_FALSE(drawer->isVisible());
    drawer->Show();
    ASSERT_TRUE(drawer->isVisible());
    EXPECT_EQ(drawer->x(), parent->frameGeometry().right() + 1);
    EXPECT_EQ(drawer->y(), parent->geometry().top());
    EXPECT_EQ(drawer->Height(), parent->geometry().height());
    EXPECT_EQ(drawer->FindControl("fill")->Height(), drawer->Height() - 10);
    EXPECT_EQ(fw::FrontWindow(), parent);

    parent->move(150, 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(drawer->x(), parent->frameGeometry().right() + 1);
    EXPECT_EQ(drawer->y(), parent->geometry().top());

    // Without room on the right of the screen, it stands on the left.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    parent->move(screen.right() - parent->frameGeometry().width() - 20, 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(drawer->x() + drawer->width(), parent->frameGeometry().left());
    parent->SetHeight(551);
    EXPECT_EQ(drawer->Height(), parent->geometry().height());
    delete parent;
}

TEST(Window, ProgressWheelTurnsOnlyWhileVisible) {
    auto* window = MakeWindow(nullptr, [](TestWindow& w) {
        w.AddControl<fw::ProgressWheel>({.name = "ChasingArrows1",
                                         .bounds = {284, 34, 16, 16},
                                         .locks = fw::LockNone,
                                         .visible = false});
    });
    auto* wheel = window->FindControl<fw::ProgressWheel>("ChasingArrows1");
    EXPECT_FALSE(wheel->Spinning());
    wheel->SetVisible(true);
    EXPECT_TRUE(wheel->Spinning());
    wheel->SetVisible(false);
    EXPECT_FALSE(wheel->Spinning());
    delete window;
}
