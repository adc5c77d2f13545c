#include "framework/gui/Window.h"

#include "framework/gui/Application.h"
#include "framework/gui/MenuBar.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/Timer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cstddef>
#include <typeinfo>

namespace fw {
namespace {

// Front first: the order in which windows were last activated or shown.
std::vector<Window*>& Registry() {
    static std::vector<Window*> windows;
    return windows;
}

void MoveToFront(Window* window) {
    auto& windows = Registry();
    auto it = std::find(windows.begin(), windows.end(), window);
    if (it != windows.end()) {
        windows.erase(it);
    }
    windows.insert(windows.begin(), window);
}

// The area below the menu bar: paints the backdrop and turns clicks that no
// control takes into the window's mouse events.
class WindowContent final : public QWidget {
public:
    explicit WindowContent(Window* owner) : QWidget(owner), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (!owner_->Backdrop().isNull()) {
            QPainter painter(this);
            painter.drawPixmap(0, 0, owner_->Backdrop());
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            const QPoint p = event->position().toPoint();
            event->setAccepted(owner_->DispatchMouseDown(p.x(), p.y()));
            return;
        }
        QWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            const QPoint p = event->position().toPoint();
            owner_->DispatchMouseUp(p.x(), p.y());
            return;
        }
        QWidget::mouseReleaseEvent(event);
    }

private:
    Window* owner_;
};

// Qt presents a top-level widget of no class of its own as a "filler"; a
// screen reader then may not announce a window when the user switches to it.
// A window is a frame named by its title, and the title-less modal dialog a
// dialog.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(Window* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QAccessible::Role role() const override {
        const auto* window = dynamic_cast<const Window*>(widget());
        return window != nullptr && window->Frame() == WindowFrame::ModalDialog
                   ? QAccessible::Dialog
                   : QAccessible::Window;
    }
};

QAccessibleInterface* WindowInterface(const QString& /*className*/, QObject* object) {
    if (auto* window = dynamic_cast<Window*>(object)) {
        return new WindowAccessible(window);
    }
    return nullptr;
}

} // namespace

Window::Window(Window* parent) : QWidget(parent, Qt::Window), parent_(parent) {
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(&WindowInterface);
    setAttribute(Qt::WA_DeleteOnClose);
    content_ = new WindowContent(this);
    Registry().push_back(this);
    ApplyWindowFlags();
    ApplySizeConstraints();
    resize(width_, height_);
    LayoutChildren();
}

Window::~Window() {
    auto& windows = Registry();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

void Window::Construct() {
    if (constructed_) {
        return;
    }
    if (Application* app = Application::Instance();
        app != nullptr && app->GetMenuBar() != nullptr) {
        // Menu shortcuts work in every window, also those that show no bar.
        addActions(app->GetMenuBar()->Actions());
    }
    Layout();
    // Qt hands the keys typed in a drawer to its window's shortcuts too, so
    // only a window that is no drawer takes the keys that move between panes.
    if (frame_ != WindowFrame::Drawer) {
        for (const bool forward : {true, false}) {
            auto* pane = new QAction(this);
            pane->setShortcut(forward ? QKeySequence(Qt::Key_F6)
                                      : QKeySequence(Qt::SHIFT | Qt::Key_F6));
            pane->setShortcutContext(Qt::WindowShortcut);
            connect(pane, &QAction::triggered, this, [this, forward] { FocusNextPane(forward); });
            addAction(pane);
        }
    }
    CreateControls();
    BindControls();
    if (!unboundControls_.empty()) {
        FailToOpen();
        return;
    }
    AddMenuHandlers();
    constructed_ = true;
    Event_Open();
    if (designVisible_ && !closed_) {
        Show();
    }
}

std::string Window::Title() const {
    return windowTitle().toStdString();
}

void Window::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void Window::SetSize(int width, int height) {
    width = std::clamp(width, std::min(minWidth_, maxWidth_), maxWidth_);
    height = std::clamp(height, std::min(minHeight_, maxHeight_), maxHeight_);
    const bool changed = width != width_ || height != height_;
    width_ = width;
    height_ = height;
    ApplySizeConstraints();
    resize(width_, height_ + MenuBarHeight());
    LayoutChildren();
    if (changed) {
        RelayoutControls();
        if (isVisible() && frame_ != WindowFrame::Drawer) {
            KeepOnScreen();
        }
        FollowParentDrawers();
        if (constructed_) {
            Event_Resized();
        }
    }
}

void Window::ApplyDesign(const WindowDesign& design) {
    SetTitle(design.title);
    SetMinSize(design.minWidth, design.minHeight);
    SetMaxSize(design.maxWidth, design.maxHeight);
    SetSize(design.width, design.height);
    SetPlacement(design.placement);
    SetFrame(design.frame);
    SetCloseButton(design.closeButton);
    SetResizable(design.resizable);
    SetVisible(design.visible);
}

void Window::SetMinSize(int width, int height) {
    minWidth_ = width;
    minHeight_ = height;
    ApplySizeConstraints();
}

void Window::SetMaxSize(int width, int height) {
    maxWidth_ = width;
    maxHeight_ = height;
    ApplySizeConstraints();
}

void Window::SetResizable(bool resizable) {
    resizable_ = resizable;
    ApplySizeConstraints();
}

void Window::SetCloseButton(bool closeButton) {
    closeButton_ = closeButton;
    ApplyWindowFlags();
}

void Window::SetFrame(WindowFrame frame) {
    frame_ = frame;
    if (frame == WindowFrame::Drawer) {
        designVisible_ = false;
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    ApplyWindowFlags();
}

void Window::SetBackdrop(const Picture& picture) {
    backdrop_ = picture;
    content_->update();
}

void Window::SetMenuBar(MenuBar* bar) {
    if (bar == menuBar_) {
        return;
    }
    delete nativeMenuBar_;
    nativeMenuBar_ = nullptr;
    menuBar_ = bar;
    if (bar != nullptr) {
        nativeMenuBar_ = bar->CreateNativeBar(this);
        addActions(bar->Actions());
    }
    ApplySizeConstraints();
    resize(width_, height_ + MenuBarHeight());
    LayoutChildren();
}

bool Window::Visible() const {
    return constructed_ ? isVisible() : designVisible_;
}

void Window::SetVisible(bool visible) {
    if (!constructed_) {
        designVisible_ = visible;
        return;
    }
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

void Window::Show() {
    if (closed_) {
        return;
    }
    if (frame_ == WindowFrame::Drawer) {
        // A drawer belongs to its parent: it never takes the front.
        FollowParent();
        show();
        raise();
        return;
    }
    PlaceOnFirstShow();
    show();
    raise();
    activateWindow();
    MoveToFront(this);
}

void Window::Hide() {
    hide();
}

void Window::FocusNextPane(bool forward) {
    Window* owner = frame_ == WindowFrame::Drawer && parent_ != nullptr ? parent_ : this;
    std::vector<Window*> panes{owner};
    // In order of creation. (Window has no meta-object of its own, so
    // findChildren<Window*> would take any child widget for one.)
    for (QObject* child : owner->children()) {
        auto* drawer = dynamic_cast<Window*>(child);
        if (drawer != nullptr && drawer->frame_ == WindowFrame::Drawer && !drawer->closed_ &&
            drawer->isVisible()) {
            panes.push_back(drawer);
        }
    }
    // The keys typed in a drawer come here too: the pane the focus moves on
    // from is the active one.
    auto here = std::find(panes.begin(), panes.end(), QApplication::activeWindow());
    if (here == panes.end()) {
        here = std::find(panes.begin(), panes.end(), this);
    }
    if (panes.size() < 2 || here == panes.end()) {
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(panes.size());
    const std::ptrdiff_t next = (here - panes.begin() + (forward ? 1 : count - 1)) % count;
    panes[static_cast<std::size_t>(next)]->TakeFocus();
}

void Window::TakeFocus() {
    raise();
    activateWindow();
    if (QWidget* last = focusWidget()) {
        last->setFocus(Qt::OtherFocusReason);
    } else {
        focusNextPrevChild(true);
    }
}

void Window::Close() {
    close();
}

void Window::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::HasMenuHandler(const std::string& itemName) const {
    return menuHandlers_.count(itemName) != 0;
}

bool Window::HandleMenuItem(const std::string& itemName) {
    auto it = menuHandlers_.find(itemName);
    if (it == menuHandlers_.end() || !it->second) {
        return false;
    }
    // The handler may close this window; the copy keeps it alive meanwhile.
    auto handler = it->second;
    return handler();
}

Control* Window::FindControlBase(const std::string& name, int index) const {
    for (Control* control : controls_) {
        if (control->Name() == name && (index < 0 || control->Index() == index)) {
            return control;
        }
    }
    return nullptr;
}

std::vector<Control*> Window::ControlArray(const std::string& name) const {
    std::vector<Control*> members;
    for (Control* control : controls_) {
        if (control->Name() == name) {
            members.push_back(control);
        }
    }
    return members;
}

QWidget* Window::ParentFor(const ControlDesign& design) const {
    if (design.container.empty()) {
        return content_;
    }
    Control* container = FindControlBase(design.container);
    QWidget* widget = container != nullptr ? container->ContentWidget(design.panel) : nullptr;
    return widget != nullptr ? widget : content_;
}

void Window::Register(Control* control, const ControlDesign& design) {
    controls_.push_back(control);
    control->Setup(this, design);
}

void Window::SetDefaultButton(PushButton* button) {
    defaultButton_ = button;
}

void Window::SetCancelButton(PushButton* button) {
    cancelButton_ = button;
}

bool Window::DispatchMouseDown(int x, int y) {
    mouseTracking_ = Event_MouseDown(x, y);
    return mouseTracking_;
}

void Window::DispatchMouseUp(int x, int y) {
    if (mouseTracking_) {
        mouseTracking_ = false;
        Event_MouseUp(x, y);
    }
}

bool Window::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !closed_) {
        MoveToFront(this);
    }
    return QWidget::event(event);
}

void Window::NoteUnboundControl(const std::string& name, int index) {
    unboundControls_.push_back(index < 0 ? name : name + "(" + std::to_string(index) + ")");
}

// A window without all of its controls would fail at the first use of the
// missing one; it is better never shown, and the name tells a developer
// where the design and the code disagree.
void Window::FailToOpen() {
    std::string names;
    for (const std::string& name : unboundControls_) {
        names += (names.empty() ? "" : ", ") + name;
    }
    closed_ = true;
    hide();
    deleteLater();
    MsgBox("The window \"" + Title() + "\" could not be opened.\n\nIt lacks the control " + names +
           ".");
}

void Window::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    // A timer of a closing window must not fire into it any more.
    for (Control* control : controls_) {
        if (auto* timer = dynamic_cast<Timer*>(control)) {
            timer->SetMode(TimerMode::Off);
        }
    }
    Event_Close();
    for (Window* window : Registry()) {
        if (window->parent_ == this && window->frame_ == WindowFrame::Drawer) {
            window->hide();
        }
    }
    if (Application* app = Application::Instance()) {
        app->WindowClosing(this);
    }
}

void Window::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Only the user resizes a resizable window; any other size report is
    // an echo of a size set in code and may be stale.
    if (resizable_ && constructed_ && isVisible()) {
        const int width = this->width();
        const int height = this->height() - MenuBarHeight();
        if (width != width_ || height != height_) {
            width_ = width;
            height_ = height;
            LayoutChildren();
            RelayoutControls();
            FollowParentDrawers();
            Event_Resized();
            return;
        }
    }
    LayoutChildren();
}

void Window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FollowParentDrawers();
}

void Window::keyPressEvent(QKeyEvent* event) {
    PushButton* button = nullptr;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        button = defaultButton_;
    } else if (event->key() == Qt::Key_Escape) {
        button = cancelButton_;
    }
    if (button != nullptr && button->isVisible() && button->isEnabled()) {
        event->accept();
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Window::focusNextPrevChild(bool next) {
    const auto reachable = [this](QWidget* widget) {
        if ((widget->focusPolicy() & Qt::TabFocus) == 0 || !widget->isEnabled() ||
            !widget->isVisibleTo(this) || widget->window() != this) {
            return false;
        }
        const QRect inWindow(widget->mapTo(this, QPoint(0, 0)), widget->size());
        return inWindow.intersects(content_->geometry());
    };
    QWidget* start = focusWidget() != nullptr ? focusWidget() : this;
    QWidget* widget = start;
    do {
        widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain();
        if (reachable(widget)) {
            widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    } while (widget != start && widget != nullptr);
    return false;
}

void Window::ApplyWindowFlags() {
    Qt::WindowFlags flags;
    const Qt::WindowFlags close = closeButton_ ? Qt::WindowCloseButtonHint : Qt::WindowFlags();
    switch (frame_) {
    case WindowFrame::Document:
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | close;
        break;
    case WindowFrame::Floating:
        flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | close;
        break;
    case WindowFrame::ModalDialog:
        flags = Qt::Dialog | Qt::CustomizeWindowHint;
        break;
    case WindowFrame::Drawer:
        flags = Qt::Tool | Qt::FramelessWindowHint;
        break;
    }
    const bool wasVisible = isVisible();
    // A modal dialog keeps the input of the whole application until it goes.
    setWindowModality(frame_ == WindowFrame::ModalDialog ? Qt::ApplicationModal : Qt::NonModal);
    setWindowFlags(flags);
    if (wasVisible) {
        show();
    }
}

void Window::ApplySizeConstraints() {
    const int bar = MenuBarHeight();
    if (resizable_) {
        setMinimumSize(minWidth_, minHeight_ + bar);
        setMaximumSize(std::min(maxWidth_, QWIDGETSIZE_MAX),
                       std::min(maxHeight_ + bar, QWIDGETSIZE_MAX));
    } else {
        setFixedSize(width_, height_ + bar);
    }
}

int Window::MenuBarHeight() const {
    return nativeMenuBar_ != nullptr ? nativeMenuBar_->sizeHint().height() : 0;
}

void Window::LayoutChildren() {
    const int bar = MenuBarHeight();
    if (nativeMenuBar_ != nullptr) {
        nativeMenuBar_->setGeometry(0, 0, width_, bar);
    }
    content_->setGeometry(0, bar, width_, height_);
}

void Window::RelayoutControls() {
    // Creation order: containers stand before what they hold.
    for (Control* control : controls_) {
        control->ApplyGeometry(width_, height_);
    }
}

namespace {

// What a window placed over its parent window goes over when it has no
// parent of its own: the front window of its own kind, else the front
// document window.
Window* WindowToPlaceOver(const Window* self) {
    Window* document = nullptr;
    for (Window* window : OpenWindows()) {
        if (window == self || !window->isVisible()) {
            continue;
        }
        if (typeid(*window) == typeid(*self)) {
            return window;
        }
        if (document == nullptr && window->Frame() == WindowFrame::Document) {
            document = window;
        }
    }
    return document;
}

} // namespace

void Window::PlaceOnFirstShow() {
    if (placed_) {
        return;
    }
    placed_ = true;
    if (placement_ == WindowPlacement::Default) {
        return;
    }
    const QSize size = OuterSize();
    Window* over = nullptr;
    if (placement_ == WindowPlacement::ParentWindow) {
        over = parent_ != nullptr ? parent_ : WindowToPlaceOver(this);
    }
    const QRect screenArea =
        ScreenArea(over != nullptr ? over->frameGeometry().center() : QPoint());
    if (screenArea.isNull()) {
        return;
    }
    auto fits = [&](QPoint p) { return screenArea.contains(QRect(p, size)); };

    if (over == nullptr || typeid(*over) != typeid(*this)) {
        // Centred over the window in front, or over the screen; never past
        // the screen's edges.
        const QRect area = over != nullptr ? over->frameGeometry() : screenArea;
        const QPoint centred(area.left() + (area.width() - size.width()) / 2,
                             area.top() + (area.height() - size.height()) / 2);
        const QPoint topLeft =
            fits(centred) ? centred : WithinArea(QRect(centred, size), screenArea);
        if (HasTitleBar()) {
            move(topLeft);
        } else {
            // No title bar: the content itself is centred, and whatever thin
            // border the window system adds lies evenly around it.
            setGeometry(QRect(topLeft, size));
        }
        return;
    }

    // A window of the same kind steps down and to the right of the one in
    // front, as documents cascade, stepping over any place another window
    // already holds (it would stand unseen beneath); a cascade that runs out
    // of room starts again at the top left, a column further right each time.
    constexpr int kCascadeStep = 24;
    constexpr int kMostSteps = 64;
    QPoint topLeft = over->pos() + QPoint(kCascadeStep, kCascadeStep);
    int restarts = 0;
    for (int step = 0; step < kMostSteps; ++step) {
        if (!fits(topLeft)) {
            topLeft = screenArea.topLeft() + QPoint(kCascadeStep * (restarts++ % 8), 0);
        }
        if (!CoveredAt(topLeft, kCascadeStep)) {
            break;
        }
        topLeft += QPoint(kCascadeStep, kCascadeStep);
    }
    move(fits(topLeft) ? topLeft : WithinArea(QRect(topLeft, size), screenArea));
}

QSize Window::OuterSize() const {
    // Before the window is shown its frame is unknown: allow for a title bar
    // where the kind of window has one.
    const int titleBar = isVisible()     ? frameGeometry().height() - geometry().height()
                         : HasTitleBar() ? style()->pixelMetric(QStyle::PM_TitleBarHeight)
                                         : 0;
    return {width_, height_ + MenuBarHeight() + std::max(titleBar, 0)};
}

bool Window::HasTitleBar() const {
    return frame_ == WindowFrame::Document || frame_ == WindowFrame::Floating;
}

QRect Window::ScreenArea(QPoint near) const {
    QScreen* screen = near.isNull() ? nullptr : QGuiApplication::screenAt(near);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QPoint Window::WithinArea(const QRect& rect, const QRect& area) {
    // A window larger than the area keeps its top left corner in it.
    const int x = std::clamp(rect.left(), area.left(),
                             std::max(area.left(), area.right() + 1 - rect.width()));
    const int y =
        std::clamp(rect.top(), area.top(), std::max(area.top(), area.bottom() + 1 - rect.height()));
    return {x, y};
}

bool Window::CoveredAt(QPoint topLeft, int distance) const {
    for (Window* other : OpenWindows()) {
        if (other != this && other->isVisible() && other->Frame() != WindowFrame::Drawer &&
            (other->pos() - topLeft).manhattanLength() < distance) {
            return true;
        }
    }
    return false;
}

void Window::KeepOnScreen() {
    const QRect area = ScreenArea(frameGeometry().center());
    if (area.isNull()) {
        return;
    }
    const QRect outer(pos(), OuterSize());
    const QPoint inside = WithinArea(outer, area);
    if (inside != outer.topLeft()) {
        move(inside);
    }
}

void Window::FollowParent() {
    if (parent_ == nullptr) {
        return;
    }
    // Flush against the parent's right edge, over the parent's height; on the
    // left edge when the screen has no room on the right.
    const QRect inner = parent_->geometry();
    const QRect outer = parent_->frameGeometry();
    SetSize(width_, inner.height());
    const QRect screenArea = ScreenArea(outer.center());
    const bool roomOnRight = screenArea.isNull() || outer.right() + width_ <= screenArea.right() ||
                             outer.left() - width_ < screenArea.left();
    move(roomOnRight ? outer.right() + 1 : outer.left() - width_, inner.top());
}

void Window::FollowParentDrawers() {
    for (Window* window : Registry()) {
        if (window->parent_ == this && window->frame_ == WindowFrame::Drawer && !window->closed_) {
            window->FollowParent();
        }
    }
}

Window* FrontWindow() {
    for (Window* window : Registry()) {
        if (window->IsClosed() || !window->isVisible()) {
            continue;
        }
        if (window->Frame() == WindowFrame::Drawer) {
            Window* parent = window->ParentWindow();
            if (parent != nullptr && !parent->IsClosed() && parent->isVisible()) {
                return parent;
            }
            continue;
        }
        return window;
    }
    return nullptr;
}

Window* ModalWindow() {
    for (Window* window : Registry()) {
        if (!window->IsClosed() && window->isVisible() &&
            window->Frame() == WindowFrame::ModalDialog) {
            return window;
        }
    }
    return nullptr;
}

std::vector<Window*> OpenWindows() {
    std::vector<Window*> open;
    for (Window* window : Registry()) {
        if (!window->IsClosed()) {
            open.push_back(window);
        }
    }
    return open;
}

std::vector<Window*> AllWindows() {
    return Registry();
}

} // namespace fw
