#pragma once

#include <QFont>
#include <functional>
#include <string>

class QWidget;

namespace fw {

class Window;

// Window edges a control keeps its distance to when the window's content
// size changes.
enum Lock : unsigned {
    LockNone = 0,
    LockLeft = 1,
    LockTop = 2,
    LockRight = 4,
    LockBottom = 8,
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One row of a window's design table. Bounds are in window content
// coordinates even for controls that sit inside a group box or a tab panel.
struct ControlDesign {
    std::string name{};
    int index = -1;          // member index of a control array; -1 when not in one
    std::string container{}; // name of a GroupBox or TabPanel; empty = the window
    int panel = 0;           // the tab of a TabPanel container
    std::string caption{};   // caption, label text or field text
    Rect bounds{};
    unsigned locks = LockLeft | LockTop;
    bool value = false; // check boxes, radio buttons, disclosure triangles
    bool enabled = true;
    bool visible = true;
    std::string helpTag{}; // tooltip; a carriage return breaks the line
    // What a screen reader calls a control that shows no caption of its own.
    std::string accessibleName{};
    int textSize = 12; // points of the system font; 0 = the platform's size
};

// The platform's user-interface font at the given size (0 keeps its size).
QFont SystemFont(int points);

// What every control has: its name (and array index), its place in window
// coordinates with edge locks, enabled, visible, help tag. The concrete
// kinds derive from a Qt widget and from this.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    Window* OwnerWindow() const { return owner_; }
    QWidget* Widget() const { return widget_; }

    int Left() const { return CurrentBounds().left; }
    int Top() const { return CurrentBounds().top; }
    int Width() const { return CurrentBounds().width; }
    int Height() const { return CurrentBounds().height; }
    // The place the locks give for the window's current content size.
    Rect CurrentBounds() const;
    // Rebases the control: the given place holds for the window's current size.
    void SetBounds(const Rect& bounds);
    void SetLeft(int left) { SetBoundsField(&Rect::left, left); }
    void SetTop(int top) { SetBoundsField(&Rect::top, top); }
    void SetWidth(int width) { SetBoundsField(&Rect::width, width); }
    void SetHeight(int height) { SetBoundsField(&Rect::height, height); }
    unsigned Locks() const { return locks_; }
    void SetLocks(unsigned locks);

    virtual bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void SetHelpTag(const std::string& text);

    // The Action event of the controls that have one (buttons, check boxes,
    // radio buttons, disclosure triangles, timers): a click, or a value set
    // in code, raises it.
    void OnAction(std::function<void()> handler) { action_ = std::move(handler); }

    // Where a control placed inside this one goes (group box, tab panel).
    virtual QWidget* ContentWidget(int panel);

    // Used by Window when it builds and lays out controls.
    void Setup(Window* owner, const ControlDesign& design);
    void ApplyGeometry(int windowWidth, int windowHeight);
    Rect BoundsFor(int windowWidth, int windowHeight) const;

protected:
    explicit Control(QWidget* widget) : widget_(widget) {}
    // Design values that depend on the kind; never raise an event.
    virtual void SetDesignCaption(const std::string& caption);
    virtual void SetDesignValue(bool value);
    // Called after the control's Qt geometry was set.
    virtual void GeometryApplied() {}
    void RaiseAction() const;

private:
    // Changes one edge or size of the current place; the rest stays.
    void SetBoundsField(int Rect::*field, int value);

    QWidget* widget_ = nullptr;
    Window* owner_ = nullptr;
    std::function<void()> action_;
    std::string name_;
    int index_ = -1;
    Rect bounds_;
    int designWindowWidth_ = 0;
    int designWindowHeight_ = 0;
    unsigned locks_ = LockLeft | LockTop;
    bool visible_ = true;
    bool enabled_ = true;
};

} // namespace fw
