#pragma once

#include "framework/gui/Control.h"

#include <QWidget>

class QTimer;

namespace fw {

// A small spinning wheel that says "busy"; it turns only while visible.
class ProgressWheel : public QWidget, public Control {
public:
    explicit ProgressWheel(QWidget* parent);

    bool Spinning() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* timer_;
    int step_ = 0;
};

} // namespace fw
