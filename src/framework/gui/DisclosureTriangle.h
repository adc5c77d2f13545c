#pragma once

#include "framework/gui/ButtonControl.h"

#include <QToolButton>

namespace fw {

// A small arrow that opens (Value True, pointing down) and closes
// (pointing right). Tab gives it the keyboard focus; Space toggles it.
class DisclosureTriangle : public QToolButton, public ValueControl {
public:
    explicit DisclosureTriangle(QWidget* parent);

protected:
    // A bare arrow: it shows no caption.
    void SetDesignCaption(const std::string& /*caption*/) override {}
};

} // namespace fw
