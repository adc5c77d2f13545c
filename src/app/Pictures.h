#pragma once

#include "framework/gui/Picture.h"

// The application's two pictures, fetched from its resources on first use and
// kept until shutdown. A picture that can't be found stays uncached: the call
// returns an empty picture and the next call tries again.
const fw::Picture& splashbmp();
const fw::Picture& boardbmp();

// Drops both cached pictures (splash first), at shutdown.
void ReleasePictures();
