#pragma once

#include "framework/gui/Window.h"

#include <QPointer>

namespace fw {

// The one open window of a class: Get() returns it, or creates and
// constructs a new one when none is open (first use, or after Close).
template <class W> class SingleInstance {
public:
    static W& Get() {
        if (instance_ == nullptr || instance_->IsClosed()) {
            instance_ = NewWindow<W>();
        }
        return *instance_;
    }
    // The open instance, or nullptr.
    static W* Current() {
        return instance_ != nullptr && !instance_->IsClosed() ? instance_.data() : nullptr;
    }

private:
    static inline QPointer<W> instance_;
};

} // namespace fw
