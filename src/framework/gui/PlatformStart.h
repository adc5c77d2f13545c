#pragma once

#include <memory>

class QApplication;

namespace fw {

// Builds the QApplication. When the window system can't be reached, it says
// so in one line on stderr, naming the display, and ends the process with
// status 1, where Qt would abort with advice on reinstalling. Qt's messages
// from the start are shown once it succeeds.
std::unique_ptr<QApplication> StartPlatform(int& argc, char** argv);

} // namespace fw
