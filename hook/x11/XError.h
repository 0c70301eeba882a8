#pragma once
// X protocol errors on our own connections (a key another client grabbed, a
// window that vanished) are counted instead of ending the process; errors of
// other connections go on to the handler that was installed before.
#include <X11/Xlib.h>

namespace bxhook::x11 {

// Opens a connection whose errors are trapped; null when the display cannot
// be reached.
Display* OpenTrappedDisplay(const char* name);
void CloseTrappedDisplay(Display* dpy);
// Syncs and returns how many errors the connection got since the last call.
int TakeErrors(Display* dpy);

// A connection of ours broke (the X server went away): Xlib's default
// handler would call exit() on whichever thread noticed, running the
// program's destructors under its other threads. Ours ends the process at
// once with status 1 and a line on stderr. DisplayLost: it happened, or the
// display can no longer be reached.
bool DisplayLost(const char* name);

} // namespace bxhook::x11
