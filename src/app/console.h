#pragma once

#include <QString>

namespace app {

// Standard output and standard error of the program, for the few lines it writes itself.
enum class Stream { Output, Error };

// Writes text to the stream as a terminal, a pipe or a file of the platform wants it: the
// locale's encoding on Unix. On Windows, where the program is a GUI program that has no console
// of its own, the text goes to the console it was started from (cmd or PowerShell) as UTF-16,
// so that every letter shows whatever the code page; redirected to a pipe or a file, it is
// UTF-8 with Windows line ends. Returns false when the text could not be written.
bool writeText(Stream stream, const QString& text);

// Tells the user why the program could not start: on standard error; on Windows, where a
// program started from Explorer or the Start menu has nowhere to write, in a message box.
void reportStartFailure(const QString& text);

} // namespace app
