#pragma once

#include "framework/gui/Control.h"

#include <QGroupBox>

namespace fw {

// Holds controls; hiding it hides them.
class GroupBox : public QGroupBox, public Control {
public:
    explicit GroupBox(QWidget* parent);

    std::string Caption() const { return title().toStdString(); }
    void SetCaption(const std::string& caption);
    QWidget* ContentWidget(int panel) override;

protected:
    void SetDesignCaption(const std::string& caption) override { SetCaption(caption); }
};

} // namespace fw
