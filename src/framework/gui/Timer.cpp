#include "framework/gui/Timer.h"

#include <QTimer>
#include <QWidget>

namespace fw {

Timer::Timer(QWidget* parent) : QObject(parent), Control(nullptr), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, [this] { Fire(); });
}

void Timer::SetPeriod(int milliseconds) {
    period_ = std::max(milliseconds, 0);
    Restart();
}

void Timer::SetMode(TimerMode mode) {
    mode_ = mode;
    Restart();
}

void Timer::Fire() {
    if (mode_ == TimerMode::Off) {
        return;
    }
    if (mode_ == TimerMode::Single) {
        SetMode(TimerMode::Off);
    }
    RaiseAction();
}

void Timer::Restart() {
    timer_->stop();
    if (mode_ != TimerMode::Off) {
        timer_->start(period_);
    }
}

} // namespace fw
