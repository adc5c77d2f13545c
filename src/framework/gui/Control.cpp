#include "framework/gui/Control.h"

#include "framework/gui/Window.h"

#include <QApplication>
#include <QString>
#include <QWidget>
#include <algorithm>

namespace fw {

QFont SystemFont(int points) {
    QFont font = QApplication::font();
    if (points > 0) {
        // The designs measure in pixels at 72 dots an inch, where a 12-point
        // font is 12 pixels tall; points at the screen's own resolution
        // would outgrow the controls' sizes and clip their captions.
        font.setPixelSize(points);
    }
    return font;
}

Control::~Control() = default;

void Control::RaiseAction() const {
    if (action_) {
        // The handler may close the window and with it this control.
        auto handler = action_;
        handler();
    }
}

void Control::Setup(Window* owner, const ControlDesign& design) {
    owner_ = owner;
    name_ = design.name;
    index_ = design.index;
    locks_ = design.locks;
    if (widget_ != nullptr) {
        widget_->setObjectName(QString::fromStdString(design.name));
        widget_->setFont(SystemFont(design.textSize));
        if (!design.accessibleName.empty()) {
            widget_->setAccessibleName(QString::fromStdString(design.accessibleName));
        }
    }
    SetDesignCaption(design.caption);
    SetDesignValue(design.value);
    SetHelpTag(design.helpTag);
    SetEnabled(design.enabled);
    SetVisible(design.visible);
    SetBounds(design.bounds);
}

void Control::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    if (owner_ != nullptr) {
        designWindowWidth_ = owner_->Width();
        designWindowHeight_ = owner_->Height();
        ApplyGeometry(designWindowWidth_, designWindowHeight_);
    }
}

void Control::SetBoundsField(int Rect::*field, int value) {
    Rect r = CurrentBounds();
    r.*field = value;
    SetBounds(r);
}

void Control::SetLocks(unsigned locks) {
    // The current place becomes the reference for the new locks.
    const Rect r = CurrentBounds();
    locks_ = locks;
    SetBounds(r);
}

Rect Control::CurrentBounds() const {
    if (owner_ == nullptr) {
        return bounds_;
    }
    return BoundsFor(owner_->Width(), owner_->Height());
}

Rect Control::BoundsFor(int windowWidth, int windowHeight) const {
    const int dw = windowWidth - designWindowWidth_;
    const int dh = windowHeight - designWindowHeight_;
    Rect r = bounds_;
    if ((locks_ & LockRight) != 0) {
        if ((locks_ & LockLeft) != 0) {
            r.width += dw;
        } else {
            r.left += dw;
        }
    }
    if ((locks_ & LockBottom) != 0) {
        if ((locks_ & LockTop) != 0) {
            r.height += dh;
        } else {
            r.top += dh;
        }
    }
    r.width = std::max(r.width, 0);
    r.height = std::max(r.height, 0);
    return r;
}

void Control::ApplyGeometry(int windowWidth, int windowHeight) {
    if (widget_ == nullptr || owner_ == nullptr) {
        return;
    }
    const Rect r = BoundsFor(windowWidth, windowHeight);
    QPoint origin(0, 0);
    QWidget* parent = widget_->parentWidget();
    if (parent != nullptr && parent != owner_->Content()) {
        origin = parent->mapTo(owner_->Content(), QPoint(0, 0));
    }
    widget_->setGeometry(r.left - origin.x(), r.top - origin.y(), r.width, r.height);
    GeometryApplied();
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (widget_ != nullptr) {
        widget_->setEnabled(enabled);
    }
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (widget_ != nullptr) {
        widget_->setVisible(visible);
    }
}

void Control::SetHelpTag(const std::string& text) {
    if (widget_ == nullptr) {
        return;
    }
    QString tip = QString::fromStdString(text);
    tip.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    tip.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    widget_->setToolTip(tip);
}

QWidget* Control::ContentWidget(int /*panel*/) {
    return nullptr;
}

void Control::SetDesignCaption(const std::string& /*caption*/) {}

void Control::SetDesignValue(bool /*value*/) {}

} // namespace fw
