#pragma once

#include "framework/gui/ButtonControl.h"

#include <QRadioButton>

namespace fw {

// A member of a control array (the members share a name). Selecting one
// deselects the other members; Action fires for the member that becomes
// selected, by a click or by setting Value in code.
class RadioButton : public QRadioButton, public ValueControl {
public:
    explicit RadioButton(QWidget* parent);

protected:
    // A click on the selected member keeps it selected.
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Toggled(bool checked);
};

} // namespace fw
