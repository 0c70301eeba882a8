#include "hook/LayoutSnapshot.h"
#include "hook/x11/KeyTable.h"
#include "hook/x11/XError.h"
#include "hook/x11/XkbLayout.h"

namespace bxhook {
namespace {

std::string Utf8(uint32_t u) {
    std::string s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

// Unicode of a keysym in the Latin-1 or Unicode keysym ranges; 0 otherwise.
uint32_t KeysymUnicode(unsigned long sym) {
    if ((sym >= 0x20 && sym < 0x7F) || (sym >= 0xA0 && sym <= 0xFF)) return sym;
    if (sym >= 0x01000100 && sym <= 0x0100FFFF) return sym & 0xFFFF;
    return 0;
}

} // namespace

bool X11LayoutSnapshot(TLayoutSnapshot& out) {
    using namespace x11;
    Display* dpy = OpenTrappedDisplay(nullptr);
    if (!dpy) return false;
    TXkbLayout layout;
    const bool ok = layout.Load(dpy);
    if (ok) {
        for (int c = 0x20; c < 0x100; ++c) {
            unsigned long syms[2];
            const int n = KeysymsForUnicode(Cp1252ToUnicode(static_cast<unsigned char>(c)), syms);
            for (int i = 0; i < n; ++i) {
                TKeyStroke s;
                if (!layout.Find(syms[i], s)) continue;
                const unsigned other =
                    s.mods & ~(ShiftMask | ControlMask | Mod1Mask | layout.LevelThreeMask());
                const uint8_t vk = layout.VkForKeycode(s.code);
                if (other || !vk) continue;
                // Two keys may report one virtual key (the "<>" key of 102-key
                // keyboards reports the comma's): a character counts only on
                // the key that virtual key types, or "," would read as "<".
                const KeyCode canonical = layout.KeycodeForVk(vk);
                if (canonical && canonical != s.code) {
                    int level = -1;
                    for (int l = 1; l >= 0; --l)
                        if (layout.Keysym(canonical, l) == syms[i]) level = l;
                    if (level < 0) continue;
                    s.code = canonical;
                    s.mods = level ? ShiftMask : 0;
                }
                out.vkey[c] = vk;
                out.shift[c] = ((s.mods & ShiftMask) ? 1 : 0) | ((s.mods & ControlMask) ? 2 : 0) |
                               ((s.mods & Mod1Mask) ? 4 : 0) |
                               ((s.mods & layout.LevelThreeMask()) ? 6 : 0);
                break;
            }
        }
        for (int vk = 0xBA; vk < 0x100; ++vk)
            if (const KeyCode kc = layout.KeycodeForVk(static_cast<uint8_t>(vk)))
                if (const uint32_t u = KeysymUnicode(layout.Keysym(kc, 0))) out.name[vk] = Utf8(u);
    }
    CloseTrappedDisplay(dpy);
    return ok;
}

} // namespace bxhook
