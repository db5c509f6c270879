// Whether the program runs on a Wayland desktop, where no client can change the display's
// mode: the compositor owns it, and XWayland only pretends to switch (it scales the
// window, and nobody could restore a mode that was never set). Kept apart because the X
// headers define macros that clash with ordinary names.
#pragma once

struct SDL_Window;

// True when the window is shown by a Wayland compositor: through SDL's Wayland driver, or
// through an X server that is XWayland (RandR outputs named XWAYLAND<n>, or the server's
// XWAYLAND extension). The environment alone (WAYLAND_DISPLAY, XDG_SESSION_TYPE) is not
// proof: an X server of its own (Xvfb, Xephyr) may run inside a Wayland session.
bool OnWaylandDesktop(SDL_Window* window);
