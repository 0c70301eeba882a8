#include "hook/Screen.h"

#include <algorithm>
#include <cctype>

namespace bxhook {
namespace {
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

BxHwnd FindTopWindow(TScreen& screen, const std::string& className, const std::string* title) {
    std::vector<BxHwnd> windows;
    if (!screen.TopWindows(windows)) return 0;
    for (BxHwnd w : windows) {
        if (!className.empty()) {
            std::string cls, instance;
            if (!screen.ClassNames(w, cls, instance)) continue;
            if (!SameName(cls, className) && !SameName(instance, className)) continue;
        }
        if (title) {
            std::string t;
            if (!screen.Title(w, t) || t != *title) continue;
        }
        return w;
    }
    return 0;
}

} // namespace bxhook
