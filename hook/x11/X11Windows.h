#pragma once
// Window questions and focus changes on one connection (the caller holds it).
#include <X11/Xlib.h>

#include <cstdint>
#include <string>

namespace bxhook::x11 {

// The top-level window holding w that the window manager manages (it carries
// WM_STATE); without a window manager, the child of the root holding w.
Window ClientWindow(Display* dpy, Window w);
// The window with the keyboard focus; 0 when none or the pointer root.
Window FocusedWindow(Display* dpy);
// The process of the client that created the window, from the X-Resource
// extension, else _NET_WM_PID of the window or its nearest ancestor that has
// one (many programs, Tk among them, set none); 0 unknown.
uint32_t WindowPid(Display* dpy, Window w);
// WM_CLASS of the window or its nearest ancestor that has one: the focus
// often rests on a child window that carries none.
bool WindowClassHint(Display* dpy, Window w, std::string& className, std::string& instance);
// Top-left corner of the window in screen pixels, x low 16 bits, y high.
uint32_t WindowScreenPos(Display* dpy, Window w);
// The window's rectangle in screen pixels (left, top, width, height); false
// when the window is gone.
bool WindowScreenRect(Display* dpy, Window w, int32_t out[4]);
// Activates the window's top-level through the window manager, focuses the
// window itself and waits a little until the focus is there.
void ActivateWindow(Display* dpy, Window w);

} // namespace bxhook::x11
