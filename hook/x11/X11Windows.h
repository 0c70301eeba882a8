#pragma once
// Window questions and focus changes on one connection (the caller holds it).
#include <X11/Xlib.h>

#include <cstdint>

namespace bxhook::x11 {

// The top-level window holding w that the window manager manages (it carries
// WM_STATE); without a window manager, the child of the root holding w.
Window ClientWindow(Display* dpy, Window w);
// The window with the keyboard focus; 0 when none or the pointer root.
Window FocusedWindow(Display* dpy);
// _NET_WM_PID of the window or its nearest ancestor that has one; 0 unknown.
uint32_t WindowPid(Display* dpy, Window w);
// Top-left corner of the window in screen pixels, x low 16 bits, y high.
uint32_t WindowScreenPos(Display* dpy, Window w);
// The window's rectangle in screen pixels (left, top, width, height); false
// when the window is gone.
bool WindowScreenRect(Display* dpy, Window w, int32_t out[4]);
// Activates the window's top-level through the window manager, focuses the
// window itself and waits a little until the focus is there.
void ActivateWindow(Display* dpy, Window w);

} // namespace bxhook::x11
