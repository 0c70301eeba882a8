// Builds without the X11 backend: the program runs on without auto-replace.
#include "hook/Backend.h"

namespace bxhook {
std::unique_ptr<TBackend> CreateX11Backend() {
    return nullptr;
}
} // namespace bxhook
