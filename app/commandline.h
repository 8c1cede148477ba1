#pragma once

#include <optional>

namespace vorn {

// Reads the program's own options before any window system is touched, so that
// --version and --help answer on a machine without a display. Returns the exit
// code when the program is to stop there (0 after the version or the usage, 2
// after an option nobody knows), or nothing when the game is to start. The
// toolkit's own options (-platform, -style, ...) are accepted and argv is left
// as it was, for the application object to take them.
std::optional<int> ReadCommandLine(int argc, char** argv);

}  // namespace vorn
