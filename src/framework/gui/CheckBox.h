#pragma once

#include "framework/gui/Control.h"

#include <QCheckBox>
#include <functional>

namespace fw {

// Setting Value in code raises Action as a click does, when the value changes.
class CheckBox : public QCheckBox, public Control {
public:
    explicit CheckBox(QWidget* parent);

    bool Value() const { return isChecked(); }
    void SetValue(bool value) { setChecked(value); }
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption);
    void OnAction(std::function<void()> handler) { action_ = std::move(handler); }

protected:
    void SetDesignCaption(const std::string& caption) override { SetCaption(caption); }
    void SetDesignValue(bool value) override { setChecked(value); }

private:
    std::function<void()> action_;
};

} // namespace fw
