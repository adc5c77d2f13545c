#include "framework/gui/MenuBar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

namespace fw {
MenuItem::MenuItem(const std::string& name, const std::string& text, const std::string& shortcut,
                   MenuItemKind kind, QAction* action)
    : name_(name), text_(text), shortcut_(shortcut), kind_(kind), action_(action) {
    action_->setObjectName(QString::fromStdString(name));
}

bool MenuItem::Enabled() const {
    return action_->isEnabled();
}

void MenuItem::SetEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

MenuBar::MenuBar(const std::vector<MenuDesign>& menus) {
    for (const MenuDesign& menuDesign : menus) {
        auto menu = std::make_unique<QMenu>(QString::fromStdString(menuDesign.text));
        menuEntries_.push_back(std::make_unique<MenuItem>(menuDesign.name, menuDesign.text,
                                                          std::string(), MenuItemKind::Plain,
                                                          menu->menuAction()));
        for (const MenuItemDesign& item : menuDesign.items) {
            const bool separator = item.kind == MenuItemKind::Separator || item.text == "-";
            QAction* action = separator ? menu->addSeparator()
                                        : menu->addAction(QString::fromStdString(item.text));
            if (!separator) {
                action->setShortcut(ShortcutFor(item.shortcut));
            }
            // Only the marked kinds move to the platform's own places;
            // nothing is moved because of its text.
            switch (item.kind) {
            case MenuItemKind::Quit:
                action->setMenuRole(QAction::QuitRole);
                break;
            case MenuItemKind::Preferences:
                action->setMenuRole(QAction::PreferencesRole);
                break;
            case MenuItemKind::About:
                action->setMenuRole(QAction::AboutRole);
                break;
            default:
                action->setMenuRole(QAction::NoRole);
                break;
            }
            items_.push_back(std::make_unique<MenuItem>(
                item.name, item.text, item.shortcut,
                separator ? MenuItemKind::Separator : item.kind, action));
        }
        menus_.push_back(std::move(menu));
    }
}

MenuBar::~MenuBar() = default;

MenuItem* MenuBar::Item(const std::string& name) const {
    for (const auto& entry : menuEntries_) {
        if (entry->Name() == name) {
            return entry.get();
        }
    }
    for (const auto& item : items_) {
        if (item->Name() == name) {
            return item.get();
        }
    }
    return nullptr;
}

std::vector<MenuItem*> MenuBar::Items() const {
    std::vector<MenuItem*> items;
    items.reserve(items_.size());
    for (const auto& item : items_) {
        items.push_back(item.get());
    }
    return items;
}

std::vector<QMenu*> MenuBar::Menus() const {
    std::vector<QMenu*> menus;
    for (const auto& menu : menus_) {
        menus.push_back(menu.get());
    }
    return menus;
}

QList<QAction*> MenuBar::Actions() const {
    QList<QAction*> actions;
    for (const auto& item : items_) {
        if (item->Kind() != MenuItemKind::Separator) {
            actions.append(item->Action());
        }
    }
    return actions;
}

QMenuBar* MenuBar::CreateNativeBar(QWidget* parent) const {
    auto* bar = new QMenuBar(parent);
    for (const auto& menu : menus_) {
        bar->addMenu(menu.get());
    }
    return bar;
}

QWidget* MenuBar::FocusBehindBar() {
    QWidget* focus = QApplication::focusWidget();
    auto* bar = qobject_cast<QMenuBar*>(focus);
    if (bar == nullptr || bar->parentWidget() == nullptr) {
        return focus;
    }
    // Opened from the keyboard (Alt), a bar takes the focus until an item is
    // chosen or the bar is left. Its siblings still name the widget that last
    // had the focus among them, which the bar hands it back to.
    for (auto* pane : bar->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (pane != bar && !pane->isWindow() && pane->focusWidget() != nullptr) {
            return pane->focusWidget();
        }
    }
    return focus;
}

QKeySequence MenuBar::ShortcutFor(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const QString written = QString::fromStdString(text);
    // The key itself may be "+" or ","; only the parts before it are modifiers.
    const qsizetype keyStart = written.size() > 1 && written.endsWith(QLatin1String("++"))
                                   ? written.size() - 1
                                   : written.lastIndexOf(QLatin1Char('+')) + 1;
    const QStringList modifiers =
        written.left(keyStart).split(QLatin1Char('+'), Qt::SkipEmptyParts);
    QStringList parts;
    for (const QString& modifier : modifiers) {
        const QString m = modifier.trimmed();
        if (m.compare(QLatin1String("Cmd"), Qt::CaseInsensitive) == 0) {
            parts << QStringLiteral("Ctrl");
        } else if (m.compare(QLatin1String("Option"), Qt::CaseInsensitive) == 0) {
            parts << QStringLiteral("Alt");
        } else {
            parts << m;
        }
    }
    parts << written.mid(keyStart);
    return QKeySequence::fromString(parts.join(QLatin1Char('+')), QKeySequence::PortableText);
}

} // namespace fw
