// The display mode's guardian: a small process, started before the program switches the
// display, that gives the desktop its mode back when the program ends without having
// done so itself (killed, or crashed before it could). On X11 through XRandR, on Windows
// through ChangeDisplaySettings.
#pragma once

// The argument that makes the program its own guardian (the guardian is the program
// started again, so that it owns nothing the program held when it forked).
constexpr char DisplayModeGuardArgument[] = "--display-mode-guardian";

// Starts a guardian that notes the display's mode now. True when one is watching.
bool StartDisplayModeGuard();
// The program has restored the mode (or never changed it): the guardian leaves without
// touching anything.
void ReleaseDisplayModeGuard();
// From a crash handler (only async-signal-safe calls): has the guardian restore the mode
// now, waiting for it at most timeoutMs.
void RestoreThroughGuardNow(int timeoutMs);

// The guardian process's main, for a program started with DisplayModeGuardArgument as
// argv[1] (what follows it is the guardian's own business). Returns its exit status.
int RunDisplayModeGuard(int argc, char** argv);
