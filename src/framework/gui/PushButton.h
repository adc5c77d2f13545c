#pragma once

#include "framework/gui/ButtonControl.h"

#include <QPushButton>

namespace fw {

// Return and Enter press the window's default button, Escape its cancel button.
class PushButton : public QPushButton, public ButtonControl {
public:
    explicit PushButton(QWidget* parent);

    bool Default() const { return isDefault(); }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool cancel_ = false;
};

} // namespace fw
