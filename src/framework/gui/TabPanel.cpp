#include "framework/gui/TabPanel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QPointer>
#include <QTabBar>
#include <vector>

namespace fw {
namespace {

// One tab of a panel's tab list, as a screen reader reads and presses it.
class TabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ != nullptr && index_ < bar_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return bar_ != nullptr ? bar_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_.data());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        if (t == QAccessible::Name) {
            QString name = bar_->accessibleTabName(index_);
            return name.isEmpty() ? bar_->tabText(index_).remove(QLatin1Char('&')) : name;
        }
        if (t == QAccessible::Description) {
            return bar_->tabToolTip(index_);
        }
        return {};
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect tab = bar_->tabRect(index_);
        return {bar_->mapToGlobal(tab.topLeft()), tab.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = bar_->currentIndex() == index_;
        s.focusable = true;
        s.selectable = true;
        s.selected = current;
        s.focused = current && bar_->hasFocus();
        s.disabled = !bar_->isEnabled() || !bar_->isTabEnabled(index_);
        s.invisible = !bar_->isVisible() || !bar_->isTabVisible(index_);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && isValid() && bar_->isTabEnabled(index_)) {
            bar_->setCurrentIndex(index_);
        }
    }
    QStringList keyBindingsForAction(const QString& /*actionName*/) const override { return {}; }

private:
    QPointer<QTabBar> bar_;
    int index_;
};

// Qt presents a tab bar with its two scroll buttons after the tabs, shown or
// not, and one of them enabled; a screen reader offers them even where every
// tab fits, as on this panel. Only the tabs are presented here.
class TabListAccessible final : public QAccessibleWidget {
public:
    explicit TabListAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~TabListAccessible() override {
        for (const QAccessible::Id id : tabs_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return Bar()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        while (static_cast<int>(tabs_.size()) <= index) {
            tabs_.push_back(QAccessible::registerAccessibleInterface(
                new TabAccessible(Bar(), static_cast<int>(tabs_.size()))));
        }
        return QAccessible::accessibleInterface(tabs_[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < tabs_.size(); ++i) {
            if (QAccessible::accessibleInterface(tabs_[i]) == child) {
                return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int index = Bar()->tabAt(Bar()->mapFromGlobal(QPoint(x, y)));
        return index >= 0 ? child(index) : nullptr;
    }
    // The list is read by its current tab.
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && Bar()->currentIndex() >= 0) {
            return Bar()->tabText(Bar()->currentIndex()).remove(QLatin1Char('&'));
        }
        return QAccessibleWidget::text(t);
    }

private:
    QTabBar* Bar() const { return static_cast<QTabBar*>(widget()); }

    mutable std::vector<QAccessible::Id> tabs_;
};

QAccessibleInterface* TabListInterface(const QString& /*className*/, QObject* object) {
    auto* bar = qobject_cast<QTabBar*>(object);
    if (bar != nullptr && dynamic_cast<TabPanel*>(bar->parentWidget()) != nullptr) {
        return new TabListAccessible(bar);
    }
    return nullptr;
}

} // namespace

TabPanel::TabPanel(QWidget* parent) : QWidget(parent), Control(this) {
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(&TabListInterface);
    bar_ = new QTabBar(this);
    bar_->setDrawBase(false);
    connect(bar_, &QTabBar::currentChanged, this, [this](int tab) { ShowPage(tab); });
}

void TabPanel::SetTabs(const std::vector<std::string>& captions) {
    while (bar_->count() > 0) {
        bar_->removeTab(bar_->count() - 1);
    }
    for (QFrame* page : pages_) {
        delete page;
    }
    pages_.clear();
    for (const std::string& caption : captions) {
        auto* page = new QFrame(this);
        page->setFrameShape(QFrame::StyledPanel);
        pages_.push_back(page);
        bar_->addTab(QString::fromStdString(caption));
    }
    LayoutPages();
    ShowPage(bar_->currentIndex());
}

int TabPanel::Value() const {
    return bar_->currentIndex();
}

void TabPanel::SetValue(int tab) {
    bar_->setCurrentIndex(tab);
}

QWidget* TabPanel::ContentWidget(int panel) {
    if (panel < 0 || panel >= TabCount()) {
        return nullptr;
    }
    return pages_[static_cast<size_t>(panel)];
}

void TabPanel::GeometryApplied() {
    // Pages must stand where they belong before controls are placed on them.
    LayoutPages();
}

void TabPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutPages();
}

void TabPanel::LayoutPages() {
    const int barHeight = bar_->sizeHint().height();
    const int barWidth = std::min(bar_->sizeHint().width(), width());
    bar_->setGeometry((width() - barWidth) / 2, 0, barWidth, barHeight);
    for (QFrame* page : pages_) {
        page->setGeometry(0, barHeight, width(), std::max(0, height() - barHeight));
    }
    bar_->raise();
}

void TabPanel::ShowPage(int tab) {
    for (size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(static_cast<int>(i) == tab);
    }
}

} // namespace fw
