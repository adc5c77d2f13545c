#pragma once

#include "framework/gui/Control.h"

#include <QWidget>
#include <vector>

class QTabBar;
class QFrame;

namespace fw {

// Tabs over a framed page per tab; controls are placed on a page by the
// panel index of their design.
class TabPanel : public QWidget, public Control {
public:
    explicit TabPanel(QWidget* parent);

    void SetTabs(const std::vector<std::string>& captions);
    int TabCount() const { return static_cast<int>(pages_.size()); }
    int Value() const;
    void SetValue(int tab);
    QWidget* ContentWidget(int panel) override;

protected:
    void GeometryApplied() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutPages();
    void ShowPage(int tab);

    QTabBar* bar_ = nullptr;
    std::vector<QFrame*> pages_;
};

} // namespace fw
