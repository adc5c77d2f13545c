#pragma once

#include "framework/gui/Control.h"

#include <QObject>

class QTimer;

namespace fw {

enum class TimerMode {
    Off,      // does not fire
    Single,   // fires once, then turns off
    Multiple, // fires every period
};

// A timer that belongs to a window; it stops when its window closes.
class Timer : public QObject, public Control {
public:
    explicit Timer(QWidget* parent);

    int Period() const { return period_; }
    void SetPeriod(int milliseconds);
    TimerMode Mode() const { return mode_; }
    void SetMode(TimerMode mode);

    // What an elapsed period does; tests call it instead of waiting.
    void Fire();

private:
    void Restart();

    QTimer* timer_;
    int period_ = 1000;
    TimerMode mode_ = TimerMode::Off;
};

} // namespace fw
