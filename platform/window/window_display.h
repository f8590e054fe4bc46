// The window thread's presentation: the newest frame drawn into the window
// with OpenGL, the window size kept to the picture's shape, and the timer
// that asks for a redisplay about every 16 ms.
#pragma once

#include <X11/Xlib.h>

namespace platform {

// The window that the presentation draws into and keeps to the picture's
// size; before the callbacks are registered.
void start_presentation(Display* display, Window window);

// freeglut's display callback.
void display_frame();

// freeglut's timer callback: takes up a new title, handles the key watcher's
// events and a held Pause or Break, asks for a redisplay and re-arms itself.
void redisplay_timer(int value);
inline constexpr unsigned first_redisplay_ms = 8;

// freeglut's reshape callback.
void on_window_reshape(int width, int height);

// The full-screen switch of Alt with Enter.
void toggle_full_screen();

// The window was exposed and needs its picture again (window thread, from
// the event filter on freeglut's connection).
void note_window_exposed();

} // namespace platform
