#pragma once

#include "framework/gui/HeldInput.h"
#include "framework/gui/QtClipboard.h"

#include <QObject>
#include <functional>
#include <map>
#include <string>

namespace fw {

class MenuBar;
class MenuItem;
class Window;

// The application object. Exactly one exists at a time, beside the
// QApplication that start-up makes.
// Run() raises Event_Open once, then runs the event loop until Quit().
class Application : public QObject {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    // The shared bar (not owned; it must outlive the application object's
    // windows). Its items are dispatched and enabled from here.
    void SetMenuBar(MenuBar* bar);
    MenuBar* GetMenuBar() const { return menuBar_; }

    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    bool HasMenuHandler(const std::string& itemName) const;

    // Returns the exit status: the one given to Quit, or the loop's when the
    // system ended it, unless Event_Close set another.
    int Run();
    // Raises Event_Close once, closes the windows and ends the event loop.
    void Quit(int status = 0);
    bool IsQuitting() const { return quitting_; }

    // Disables items without a handler, raises Event_EnableMenuItems, then
    // enables every item that has a handler in the front window or here, and
    // the edit commands that the focused text field can carry out. While a
    // modal dialog shows, only Quit stays enabled.
    // Runs before a menu shows and before a shortcut is matched.
    void UpdateMenus();
    // A chosen item: the front window's handler, else the application's;
    // when none takes it, the framework's own action (Quit for the Quit
    // item, the edit commands in the focused text field). While a modal
    // dialog shows, every item but Quit is ignored.
    void MenuItemChosen(const MenuItem& item);

    // Runs the event loop once for a long loop (the background-task yield).
    void Yield() { heldInput_.Yield(); }

    // Called by a window that is closing.
    void WindowClosing(Window* window);

protected:
    virtual void Event_Open() {}
    virtual void Event_EnableMenuItems() {}
    virtual void Event_Close() {}
    // From Event_Close: the status with which the process exits.
    void SetExitStatus(int status) { exitStatus_ = status; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DeleteWindows();

    QtClipboard clipboard_;
    HeldInput heldInput_;
    MenuBar* menuBar_ = nullptr;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    int exitStatus_ = 0;
    bool opened_ = false;
    bool running_ = false;
    bool quitting_ = false;
};

} // namespace fw
