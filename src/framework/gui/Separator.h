#pragma once

#include "framework/gui/Control.h"

#include <QFrame>

namespace fw {

// A line across its bounds: horizontal when wider than high.
class Separator : public QFrame, public Control {
public:
    explicit Separator(QWidget* parent);

protected:
    void GeometryApplied() override;
};

} // namespace fw
