#pragma once

#include "framework/gui/ButtonControl.h"

#include <QCheckBox>

namespace fw {

class CheckBox : public QCheckBox, public ValueControl {
public:
    explicit CheckBox(QWidget* parent);
};

} // namespace fw
