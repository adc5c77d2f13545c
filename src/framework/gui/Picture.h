#pragma once

#include <QPixmap>

namespace fw {

// A picture as windows use it: a backdrop, or whatever a window paints.
// An empty (null) picture draws nothing.
using Picture = QPixmap;

} // namespace fw
