#pragma once
// Whether the desktop named in the environment can show the window, asked before the window is
// built: Qt ends the whole process when its window system cannot be reached (a DISPLAY with no
// server behind it, a bad WAYLAND_DISPLAY or QT_QPA_PLATFORM).
#include <string>

namespace ravlo {

// "" when a window can open, else the window system's reason.
std::string WhyNoWindow(int argc, char** argv);

}  // namespace ravlo
