#pragma once

#include "framework/gui/Control.h"
#include "framework/gui/Picture.h"

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QMenuBar;

namespace fw {

class MenuBar;
class PushButton;

enum class WindowFrame {
    Document,    // title bar, optional close box
    Floating,    // a utility window that floats above the documents
    ModalDialog, // the title-less dialog look
    Drawer,      // slides out beside its parent window; hidden at first
};

enum class WindowPlacement {
    Default,     // where the window system puts it
    MainScreen,  // centred on the main screen
    ParentWindow // over the window in front (or the parent)
};

// A window's design: what Layout applies in one step.
struct WindowDesign {
    std::string title{};
    int width = 300;
    int height = 300;
    int minWidth = 64;
    int minHeight = 64;
    int maxWidth = 32000;
    int maxHeight = 32000;
    WindowFrame frame = WindowFrame::Document;
    WindowPlacement placement = WindowPlacement::Default;
    bool closeButton = true;
    bool resizable = false;
    bool visible = true;
};

// A top-level window. Subclasses describe themselves in the hooks, which
// Construct() runs in this order: Layout, CreateControls, BindControls,
// AddMenuHandlers, then Event_Open. Create windows with NewWindow<W>(...), never by hand.
class Window : public QWidget {
public:
    explicit Window(Window* parent = nullptr);
    ~Window() override;

    void Construct();

    // Applies a whole design (Layout calls it; the setters below do it piece
    // by piece).
    void ApplyDesign(const WindowDesign& design);

    // Window design (Layout sets these; they work later too).
    std::string Title() const;
    void SetTitle(const std::string& title);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    void SetSize(int width, int height);
    void SetMinSize(int width, int height);
    void SetMaxSize(int width, int height);
    void SetResizable(bool resizable);
    void SetCloseButton(bool closeButton);
    void SetFrame(WindowFrame frame);
    WindowFrame Frame() const { return frame_; }
    void SetPlacement(WindowPlacement placement) { placement_ = placement; }
    void SetBackdrop(const Picture& picture);
    const Picture& Backdrop() const { return backdrop_; }
    // Shows the shared bar in this window (it must outlive the window).
    void SetMenuBar(MenuBar* bar);
    MenuBar* GetMenuBar() const { return menuBar_; }
    QMenuBar* NativeMenuBar() const { return nativeMenuBar_; }
    // Before Construct ends: whether the window shows when built.
    // Afterwards: shows or hides it.
    bool Visible() const;
    void SetVisible(bool visible);

    void Show(); // shows and brings to the front
    void Hide();
    // F6 and Shift+F6: the focus moves from the window to its next (or
    // previous) shown drawer, and from the last (or first) drawer back to the
    // window, as between the panes of one window. Nothing moves while no
    // drawer shows.
    void FocusNextPane(bool forward);
    void Close(); // raises Event_Close once; the window is deleted later
    bool IsClosed() const { return closed_; }
    Window* ParentWindow() const { return parent_; }

    // Menu handlers by item name; a handler returns True when it has
    // fully handled the command.
    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    bool HasMenuHandler(const std::string& itemName) const;
    // Runs the handler for the item; false when there is none or it
    // returned False.
    bool HandleMenuItem(const std::string& itemName);

    // Controls. Containers must be created before what they hold.
    template <class T> T* AddControl(const ControlDesign& design) {
        auto* control = new T(ParentFor(design));
        Register(control, design);
        return control;
    }
    template <class T = Control> T* FindControl(const std::string& name, int index = -1) const {
        return dynamic_cast<T*>(FindControlBase(name, index));
    }
    Control* FindControlBase(const std::string& name, int index = -1) const;
    // Finds a control for a window's typed member, once, in BindControls. A
    // control that is missing or of another kind is noted, and the window
    // then does not open.
    template <class T> T* BindControl(const std::string& name, int index = -1) {
        T* control = FindControl<T>(name, index);
        if (control == nullptr) {
            NoteUnboundControl(name, index);
        }
        return control;
    }
    // Every member of a control array, in order of creation.
    std::vector<Control*> ControlArray(const std::string& name) const;

    QWidget* Content() const { return content_; }

    // Used by the controls and the application.
    void SetDefaultButton(PushButton* button);
    void SetCancelButton(PushButton* button);
    bool DispatchMouseDown(int x, int y);
    void DispatchMouseUp(int x, int y);

protected:
    virtual void Layout() {}
    virtual void CreateControls() {}
    // Binds the controls to typed members (see BindControl).
    virtual void BindControls() {}
    virtual void AddMenuHandlers() {}
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_Resized() {}
    // Return True to receive the matching Event_MouseUp.
    virtual bool Event_MouseDown(int /*x*/, int /*y*/) { return false; }
    virtual void Event_MouseUp(int /*x*/, int /*y*/) {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab pass only through controls that can be seen: a
    // control hidden, disabled or lying beyond the window's edges is skipped.
    bool focusNextPrevChild(bool next) override;

private:
    QWidget* ParentFor(const ControlDesign& design) const;
    void NoteUnboundControl(const std::string& name, int index);
    // Tells the user that the window can't open, and drops it unopened.
    void FailToOpen();
    void Register(Control* control, const ControlDesign& design);
    void ApplyWindowFlags();
    void ApplySizeConstraints();
    void LayoutChildren();
    void RelayoutControls();
    int MenuBarHeight() const;
    void PlaceOnFirstShow();
    // The window's size with its menu bar and title bar.
    QSize OuterSize() const;
    bool HasTitleBar() const;
    // The usable part of the screen at a point (the main screen for none).
    QRect ScreenArea(QPoint near) const;
    // Where a rectangle's top left corner goes so that it lies in an area.
    static QPoint WithinArea(const QRect& rect, const QRect& area);
    // Whether another window stands within `distance` of that corner.
    bool CoveredAt(QPoint topLeft, int distance) const;
    // Moves a shown window back onto its screen after it grew.
    void KeepOnScreen();
    void FollowParent();
    void FollowParentDrawers();
    // Activates the window and gives the focus to the control that last had
    // it here, else to the first one that Tab reaches.
    void TakeFocus();

    Window* parent_ = nullptr;
    QWidget* content_ = nullptr;
    QMenuBar* nativeMenuBar_ = nullptr;
    MenuBar* menuBar_ = nullptr;
    Picture backdrop_;
    std::vector<Control*> controls_;
    std::vector<std::string> unboundControls_;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    PushButton* defaultButton_ = nullptr;
    PushButton* cancelButton_ = nullptr;
    WindowFrame frame_ = WindowFrame::Document;
    WindowPlacement placement_ = WindowPlacement::Default;
    int width_ = 300;
    int height_ = 300;
    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = QWIDGETSIZE_MAX;
    int maxHeight_ = QWIDGETSIZE_MAX;
    bool resizable_ = true;
    bool closeButton_ = true;
    bool constructed_ = false;
    bool designVisible_ = true;
    bool placed_ = false;
    bool closed_ = false;
    bool mouseTracking_ = false;
};

// Two-phase construction: the C++ constructor, then the hooks.
template <class W, class... A> W* NewWindow(A&&... args) {
    auto* window = new W(std::forward<A>(args)...);
    window->Construct();
    return window;
}

// The window in front: the most recently activated or shown open window
// (a drawer stands for its parent window); nullptr when none is shown.
Window* FrontWindow();
// The modal dialog that shows, if any; while one does, the other windows
// and the menu commands wait for it.
Window* ModalWindow();
// Every open (not closed) window, front first.
std::vector<Window*> OpenWindows();
// Every window not yet deleted, closed ones included.
std::vector<Window*> AllWindows();

} // namespace fw
