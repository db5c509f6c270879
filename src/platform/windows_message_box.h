// Error boxes as Windows' own message boxes.
#pragma once

struct SDL_Window;

// A modal box with the error icon and one OK button, over the given window when there is
// one (texts in UTF-8). False when no box could be shown.
bool WindowsMessageBox(const char* text, const char* caption, SDL_Window* owner);
