#include "framework/gui/HeldInput.h"

#include <QCoreApplication>
#include <QEvent>

namespace fw {
namespace {

const QEvent::Type kDeliverHeldInput = static_cast<QEvent::Type>(QEvent::registerEventType());

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

HeldInput::~HeldInput() = default;

void HeldInput::Yield() {
    if (yielding_ || QCoreApplication::instance() == nullptr) {
        return;
    }
    yielding_ = true;
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
    yielding_ = false;
    if (!held_.empty()) {
        DeliverLater();
    }
}

bool HeldInput::eventFilter(QObject* receiver, QEvent* event) {
    if (yielding_ && IsUserInput(event->type())) {
        held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        event->accept();
        return true;
    }
    return QObject::eventFilter(receiver, event);
}

bool HeldInput::event(QEvent* event) {
    if (event->type() != kDeliverHeldInput) {
        return QObject::event(event);
    }
    deliveryPosted_ = false;
    if (yielding_) {
        // Still inside the long loop: later.
        DeliverLater();
    } else {
        Deliver();
    }
    return true;
}

void HeldInput::DeliverLater() {
    if (!deliveryPosted_) {
        deliveryPosted_ = true;
        QCoreApplication::postEvent(this, new QEvent(kDeliverHeldInput));
    }
}

void HeldInput::Deliver() {
    // A handler run from here may start a long loop that holds further
    // input: that goes after what is already waiting.
    while (!held_.empty() && !yielding_) {
        Held next = std::move(held_.front());
        held_.erase(held_.begin());
        if (next.receiver != nullptr) {
            QCoreApplication::sendEvent(next.receiver, next.event.get());
        }
    }
}

} // namespace fw
