#include "framework/gui/TabPanel.h"

#include <QFrame>
#include <QTabBar>

namespace fw {

TabPanel::TabPanel(QWidget* parent) : QWidget(parent), Control(this), bar_(new QTabBar(this)) {
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
