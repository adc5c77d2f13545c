#pragma once

#include "framework/gui/Control.h"

#include <QPushButton>
#include <functional>

namespace fw {

// Return and Enter press the window's default button, Escape its cancel button.
class PushButton : public QPushButton, public Control {
public:
    explicit PushButton(QWidget* parent);

    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption);
    void OnAction(std::function<void()> handler) { action_ = std::move(handler); }
    bool Default() const { return isDefault(); }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);

protected:
    void SetDesignCaption(const std::string& caption) override { SetCaption(caption); }

private:
    std::function<void()> action_;
    bool cancel_ = false;
};

} // namespace fw
