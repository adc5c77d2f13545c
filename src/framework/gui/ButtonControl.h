#pragma once

#include "framework/gui/Control.h"

#include <string>

class QAbstractButton;

namespace fw {

// What push buttons, check boxes, radio buttons and disclosure triangles
// share: a caption on a Qt button.
class ButtonControl : public Control {
public:
    std::string Caption() const;
    void SetCaption(const std::string& caption);

protected:
    explicit ButtonControl(QAbstractButton* button);
    QAbstractButton* Button() const { return button_; }
    void SetDesignCaption(const std::string& caption) override { SetCaption(caption); }

private:
    QAbstractButton* button_;
};

// A button that is on or off. Setting Value in code raises Action as a click
// does, when the value changes.
class ValueControl : public ButtonControl {
public:
    bool Value() const;
    void SetValue(bool value);

protected:
    using ButtonControl::ButtonControl;
    void SetDesignValue(bool value) override { SetValue(value); }
};

} // namespace fw
