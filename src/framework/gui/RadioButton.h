#pragma once

#include "framework/gui/Control.h"

#include <QRadioButton>
#include <functional>

namespace fw {

// A member of a control array (the members share a name). Selecting one
// deselects the other members; Action fires for the member that becomes
// selected, by a click or by setting Value in code.
class RadioButton : public QRadioButton, public Control {
public:
    explicit RadioButton(QWidget* parent);

    bool Value() const { return isChecked(); }
    void SetValue(bool value) { setChecked(value); }
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption);
    void OnAction(std::function<void()> handler) { action_ = std::move(handler); }

protected:
    void SetDesignCaption(const std::string& caption) override { SetCaption(caption); }
    void SetDesignValue(bool value) override { setChecked(value); }
    // A click on the selected member keeps it selected.
    void nextCheckState() override;

private:
    void Toggled(bool checked);

    std::function<void()> action_;
};

} // namespace fw
