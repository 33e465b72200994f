#pragma once

#include <memory>
#include <optional>

class QApplication;

namespace app {

// Reads the command line before any window system is touched, so that --help and --version
// answer on standard output even without a display. Returns the exit status when the program
// is to end at once: 0 after --help or --version (1 when standard output cannot be written),
// 2 after an unknown option, an argument the program does not take, or one of Qt's options with
// its value after "=", which Qt would ignore (each with a message on standard error). Returns
// nothing when the program is to start; Qt's own options (-platform, -style, -testability and
// the like) are left to Qt.
std::optional<int> answerCommandLine(int argc, const char* const* argv);

// Creates the application object. When the window system cannot be started, prints one line on
// standard error and ends the process with status 1 instead of Qt's abort: that no display can
// be reached, or else that the window system could not be started, followed by Qt's reason.
std::unique_ptr<QApplication> createApplication(int& argc, char** argv);

} // namespace app
