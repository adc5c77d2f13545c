#include "framework/gui/ProgressWheel.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace fw {
namespace {
constexpr int kSpokes = 12;
constexpr int kStepMilliseconds = 80;
} // namespace

ProgressWheel::ProgressWheel(QWidget* parent)
    : QWidget(parent), Control(this), timer_(new QTimer(this)) {
    timer_->setInterval(kStepMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
}

bool ProgressWheel::Spinning() const {
    return timer_->isActive();
}

void ProgressWheel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setWidthF(std::max(1.5, side / 10.0));
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the others fade behind it.
        const int age = (step_ - i + kSpokes) % kSpokes;
        QColor color = pen.color();
        color.setAlphaF(1.0 - 0.75 * age / kSpokes);
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kSpokes);
        painter.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.45));
        painter.restore();
    }
}

void ProgressWheel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_->start();
}

void ProgressWheel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

} // namespace fw
