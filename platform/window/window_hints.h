// What the program's windows tell the window manager about themselves.
//
// - The class (WM_CLASS): instance "wave_winding", class "Wave_winding", so
//   that desktops can group the windows, match them to a launcher and keep
//   their settings. freeglut sets none, and a manager reads the class only
//   when it takes a window on, so the class is given to freeglut's window
//   (any top-level window mapped by XMapWindow) just before it is first
//   mapped: this file provides XMapWindow, which adds the class and then
//   maps through Xlib's own.
// - The picture's shape (the aspect in WM_NORMAL_HINTS), which managers keep
//   to while the user drags the window's edge, so that the manager and the
//   window-size rule do not disagree.
#pragma once

#include <X11/Xlib.h>

#include "platform/screen/display_policy.h"

namespace platform {

inline constexpr char window_instance_name[] = "wave_winding";
inline constexpr char window_class_name[] = "Wave_winding";

// Gives the window the program's class unless it has one.
void give_window_class(Display* display, Window window);

// Announces the picture's shape as the window's only aspect, or withdraws
// any aspect (a picture of no size, or one drawn unscaled).
void announce_picture_shape(Display* display, Window window, window_size picture);

} // namespace platform
