#pragma once

#include <QKeySequence>
#include <QList>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace fw {

enum class MenuItemKind {
    Plain,
    Quit,        // the platform's Quit command
    Preferences, // the platform's Preferences command
    About,       // the platform's About command
    Separator,   // text "-"
};

struct MenuItemDesign {
    std::string name{};
    std::string text{};
    std::string shortcut{}; // as written: "Cmd+N", "Cmd+Shift+S", "Cmd+,"
    MenuItemKind kind = MenuItemKind::Plain;
};

struct MenuDesign {
    std::string name;
    std::string text; // "&File"
    std::vector<MenuItemDesign> items;
};

// One entry of the bar (a menu or an item). The same QAction stands in
// every window's bar, so its state is the same everywhere.
class MenuItem {
public:
    MenuItem(const std::string& name, const std::string& text, const std::string& shortcut,
             MenuItemKind kind, QAction* action);

    const std::string& Name() const { return name_; }
    const std::string& Text() const { return text_; }
    const std::string& KeyboardShortcut() const { return shortcut_; }
    MenuItemKind Kind() const { return kind_; }
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QAction* Action() const { return action_; }

private:
    std::string name_;
    std::string text_;
    std::string shortcut_;
    MenuItemKind kind_;
    QAction* action_;
};

// The menu bar, built once from its table and shown by any number of
// windows. It must be destroyed before the QApplication.
class MenuBar {
public:
    explicit MenuBar(const std::vector<MenuDesign>& menus);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // A menu or an item by name, anywhere in the bar; nullptr if none.
    MenuItem* Item(const std::string& name) const;
    // The items (not the menus), in bar order.
    std::vector<MenuItem*> Items() const;
    std::vector<QMenu*> Menus() const;
    // The actions of the items, for shortcuts.
    QList<QAction*> Actions() const;
    // A bar for one window, holding the shared menus.
    QMenuBar* CreateNativeBar(QWidget* parent) const;
    // The widget that has the keyboard focus; while a window's bar holds it
    // for choosing a menu from the keyboard, the widget it was taken from.
    static QWidget* FocusBehindBar();

    // "Cmd" is the platform's command key (Ctrl, or Command on macOS).
    static QKeySequence ShortcutFor(const std::string& text);

private:
    std::vector<std::unique_ptr<QMenu>> menus_;
    std::vector<std::unique_ptr<MenuItem>> menuEntries_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

} // namespace fw
