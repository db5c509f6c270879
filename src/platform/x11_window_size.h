// The size of the window as the X server has it. Kept apart because the X headers
// define macros (Expose, None, ...) that clash with ordinary names.
#pragma once

struct SDL_Window;

// True with the window's width and height in pixels when it is an X window.
bool X11WindowSize(SDL_Window* window, int* width, int* height);

// Moves and sizes the window directly and waits until the X server has done it. False
// when it is not an X window.
bool X11MoveResizeWindow(SDL_Window* window, int x, int y, int width, int height);

// From now on a lost connection to the X server (the server ended, the network went)
// ends the process at once with a message and status 1. Xlib's own handling exits
// through the normal exit handlers, whose video tear-down then waits forever for the
// dead server's events.
void X11EndOnDisplayLoss();
