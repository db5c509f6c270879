// The size of the window as the X server has it. Kept apart because the X headers
// define macros (Expose, None, ...) that clash with ordinary names.
#pragma once

struct SDL_Window;

// True with the window's width and height in pixels when it is an X window.
bool X11WindowSize(SDL_Window* window, int* width, int* height);
