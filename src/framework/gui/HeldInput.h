#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QEvent;

namespace fw {

// The event loop as long loops yield to it: windows repaint and timers run,
// but user input (clicks, keys, shortcuts, text from an input method) is not
// delivered, so that no handler runs inside another. Nor is it left to the
// platform, which may keep it until some later event wakes the loop: it is
// held here, in its order, and delivered as soon as control is back in the
// event loop.
class HeldInput final : public QObject {
public:
    HeldInput() = default;
    ~HeldInput() override;
    HeldInput(const HeldInput&) = delete;
    HeldInput& operator=(const HeldInput&) = delete;

    // Runs the event loop once, holding back user input.
    void Yield();
    bool Holding() const { return !held_.empty(); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    void DeliverLater();
    void Deliver();

    std::vector<Held> held_;
    bool yielding_ = false;
    bool deliveryPosted_ = false;
};

} // namespace fw
