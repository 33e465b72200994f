#pragma once

#include <memory>
#include <optional>

class QApplication;

namespace app {

// Reads the command line before any window system is touched, so that --help and --version
// answer on standard output even without a display. Returns the exit status when the program
// is to end at once: 0 after --help or --version, 2 after an unknown option or an argument the
// program does not take (with a message on standard error). Returns nothing when the program is
// to start; Qt's own options (-platform, -style, -session and the like) are left to Qt.
std::optional<int> answerCommandLine(int argc, const char* const* argv);

// Creates the application object. When no window system can be reached (no display, or one
// that refuses the connection), prints one line on standard error and ends the process with
// status 1 instead of Qt's abort.
std::unique_ptr<QApplication> createApplication(int& argc, char** argv);

} // namespace app
