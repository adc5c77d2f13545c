#include "framework/gui/Application.h"

#include "framework/core/Clipboard.h"
#include "framework/core/Yield.h"
#include "framework/gui/EditCommands.h"
#include "framework/gui/MenuBar.h"
#include "framework/gui/Window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

namespace fw {
namespace {

Application* currentApplication = nullptr;

// Repaints and timers during long loops; user input waits, so no handler
// is re-entered from inside another.
void YieldToEventLoop() {
    if (currentApplication != nullptr) {
        currentApplication->Yield();
    }
}

bool ActsDuringModalDialog(const MenuItem& item) {
    return item.Kind() == MenuItemKind::Quit;
}

} // namespace

Application::Application() {
    currentApplication = this;
    // Closing the last window is decided here, not by Qt's own rule.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    SetYieldHook(&YieldToEventLoop);
    SetClipboardBackend(&clipboard_);
}

Application::~Application() {
    DeleteWindows();
    SetYieldHook(nullptr);
    SetClipboardBackend(nullptr);
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    if (currentApplication == this) {
        currentApplication = nullptr;
    }
}

Application* Application::Instance() {
    return currentApplication;
}

void Application::SetMenuBar(MenuBar* bar) {
    menuBar_ = bar;
    if (bar == nullptr) {
        return;
    }
    for (QMenu* menu : bar->Menus()) {
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateMenus(); });
    }
    for (MenuItem* item : bar->Items()) {
        if (item->Kind() == MenuItemKind::Separator) {
            continue;
        }
        connect(item->Action(), &QAction::triggered, this, [this, item] { MenuItemChosen(*item); });
    }
    for (Window* window : OpenWindows()) {
        window->addActions(bar->Actions());
    }
}

void Application::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Application::HasMenuHandler(const std::string& itemName) const {
    return menuHandlers_.count(itemName) != 0;
}

int Application::Run() {
    if (!opened_) {
        opened_ = true;
        Event_Open();
    }
    if (!quitting_) {
        running_ = true;
        const int status = QCoreApplication::exec();
        running_ = false;
        if (!quitting_) {
            // The system ended the loop (logging out, say): the application
            // still closes, once.
            quitting_ = true;
            exitStatus_ = status;
            Event_Close();
        }
    }
    DeleteWindows();
    // Not what the loop returned: the system's quit closes the windows, the
    // last one quits with the status of Event_Close, and then the system
    // ends the loop with 0.
    return exitStatus_;
}

void Application::Quit(int status) {
    if (quitting_) {
        return;
    }
    quitting_ = true;
    exitStatus_ = status;
    Event_Close();
    for (Window* window : OpenWindows()) {
        window->Close();
    }
    QCoreApplication::exit(exitStatus_);
}

void Application::UpdateMenus() {
    if (menuBar_ == nullptr) {
        return;
    }
    const std::vector<MenuItem*> items = menuBar_->Items();
    for (MenuItem* item : items) {
        if (item->Kind() != MenuItemKind::Separator) {
            item->SetEnabled(false);
        }
    }
    Event_EnableMenuItems();
    Window* front = FrontWindow();
    QLineEdit* field = FocusedTextField();
    for (MenuItem* item : items) {
        if (HasMenuHandler(item->Name()) ||
            (front != nullptr && front->HasMenuHandler(item->Name()))) {
            item->SetEnabled(true);
        } else if (const auto command = EditCommandFor(item->Name());
                   command && field != nullptr && EditCommandAvailable(*field, *command)) {
            item->SetEnabled(true);
        }
    }
    if (ModalWindow() != nullptr) {
        for (MenuItem* item : items) {
            if (item->Kind() != MenuItemKind::Separator && !ActsDuringModalDialog(*item)) {
                item->SetEnabled(false);
            }
        }
    }
}

void Application::MenuItemChosen(const MenuItem& item) {
    if (ModalWindow() != nullptr && !ActsDuringModalDialog(item)) {
        return;
    }
    const std::string name = item.Name();
    const MenuItemKind kind = item.Kind();
    QPointer<Window> front = FrontWindow();
    if (front != nullptr && front->HandleMenuItem(name)) {
        return;
    }
    auto it = menuHandlers_.find(name);
    if (it != menuHandlers_.end() && it->second) {
        auto handler = it->second;
        if (handler()) {
            return;
        }
    }
    if (kind == MenuItemKind::Quit) {
        Quit();
    } else if (const auto command = EditCommandFor(name)) {
        if (QLineEdit* field = FocusedTextField()) {
            PerformEditCommand(*field, *command);
        }
    }
}

void Application::WindowClosing(Window* window) {
#ifndef Q_OS_MACOS
    // Without a global menu bar nothing is left to use once the last
    // window is gone: quit.
    if (!running_ || quitting_) {
        return;
    }
    for (Window* other : OpenWindows()) {
        if (other != window && other->Frame() != WindowFrame::Drawer && other->isVisible()) {
            return;
        }
    }
    Quit();
#else
    (void)window;
#endif
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && menuBar_ != nullptr) {
        // A shortcut on a disabled action does not fire: bring the items up
        // to date before the key is matched.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (MenuItem* item : menuBar_->Items()) {
            if (item->Kind() != MenuItemKind::Separator && !item->Action()->shortcut().isEmpty() &&
                item->Action()->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
                UpdateMenus();
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void Application::DeleteWindows() {
    // Windows go before the application object does; drawers go with their parents.
    std::vector<QPointer<Window>> windows;
    for (Window* window : AllWindows()) {
        windows.emplace_back(window);
    }
    for (const QPointer<Window>& window : windows) {
        if (window != nullptr && window->ParentWindow() == nullptr) {
            delete window.data();
        }
    }
}

} // namespace fw
