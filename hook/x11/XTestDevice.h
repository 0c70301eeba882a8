#pragma once
// The keyboard XTEST types with: every master keyboard has one, and keys we
// fake are down on it, apart from the keys of the physical keyboards.
#include <X11/Xlib.h>

#include <bitset>

namespace bxhook::x11 {

bool IsXTestDevice(const char* name);
// Keys the core keyboard's XTEST device holds down; none when unknown.
std::bitset<256> XTestKeysDown(Display* dpy);

} // namespace bxhook::x11
