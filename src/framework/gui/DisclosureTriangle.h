#pragma once

#include "framework/gui/Control.h"

#include <QToolButton>
#include <functional>

namespace fw {

// A small arrow that opens (Value True, pointing down) and closes
// (pointing right). Tab gives it the keyboard focus; Space toggles it.
class DisclosureTriangle : public QToolButton, public Control {
public:
    explicit DisclosureTriangle(QWidget* parent);

    bool Value() const { return isChecked(); }
    void SetValue(bool value) { setChecked(value); }
    void OnAction(std::function<void()> handler) { action_ = std::move(handler); }

protected:
    void SetDesignValue(bool value) override { setChecked(value); }

private:
    std::function<void()> action_;
};

} // namespace fw
