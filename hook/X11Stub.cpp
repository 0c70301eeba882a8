// Builds without the X11 backend: the program runs on without auto-replace.
#include "hook/Backend.h"

#include "hook/HookApi.h"

#include <cstring>

int BxDescribeDisplay(char* out, int size) {
    static const char text[] = "X display: this build has no X11 support\n";
    if (!out || size <= 0) return 0;
    std::strncpy(out, text, static_cast<size_t>(size - 1));
    out[size - 1] = '\0';
    return static_cast<int>(sizeof text - 1);
}

namespace bxhook {
std::unique_ptr<TBackend> CreateX11Backend() {
    return nullptr;
}
} // namespace bxhook
