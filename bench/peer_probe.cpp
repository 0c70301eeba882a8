// The timing side of bench/vs_peer.sh: drives an expander through its
// keyword and times it against a Tk text widget that writes its content to a
// file on every change (tests/e2e/target.tcl, immediate mode).
//
//   peer_probe expand TARGET COUNT KEYWORD EXPECTED OUT FLOOR_OUT
//     Each round: the keyword typed by xdotool, 50 ms (a typist's gap), then
//     a space through XTEST, timed until the file holds EXPECTED and still
//     holds it a moment later; then one plain key timed the same way (the
//     floor). OUT gets microseconds one a line, or "lost" when the round did
//     not end with exactly EXPECTED.
//   peer_probe ceiling TARGET COUNT TEXT OUT
//     What the target itself can take: every key event of TEXT sent through
//     XTEST in one batch with one flush, timed until the file holds TEXT.
//     Characters the layout lacks are mapped to spare keys beforehand.
#include "ProbeKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

Display* dpy = nullptr;
std::string target;
int watchFd = -1;

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "peer_probe: %s\n", why.c_str());
    std::exit(1);
}

std::string Read() {
    std::ifstream in(target, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Until the file holds `want` (true, with the moment seen) or the time is up.
bool WaitFor(const std::string& want, Clock::duration limit, Clock::time_point* at = nullptr) {
    const auto until = Clock::now() + limit;
    for (;;) {
        if (Read() == want) {
            if (at) *at = Clock::now();
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{watchFd, POLLIN, 0};
        // The target renames a finished file into place: one event per change.
        if (poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 50))) > 0) {
            char buf[4096];
            [[maybe_unused]] ssize_t n = read(watchFd, buf, sizeof buf);
        }
    }
}

void Clear() {
    // Keys of a slow expander may still come in: clear again until it stays so.
    for (int i = 0; i < 5; ++i) {
        { std::ofstream(target + ".cmd") << "clear\n"; }
        if (WaitFor("", 5s)) {
            std::this_thread::sleep_for(30ms);
            if (Read().empty()) return;
        }
    }
    Die("the target was not cleared: \"" + Read() + "\"");
}

KeyCode Code(KeySym sym) {
    return ProbeKeycode(dpy, sym);
}

void Stroke(KeyCode k) {
    ProbeStroke(dpy, k);
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// Keys typed by another process, as a user's keys reach every program.
void XdotoolType(const std::string& text) {
    const std::string cmd = "xdotool type --delay 20 '" + text + "'";
    if (std::system(cmd.c_str()) != 0) Die("xdotool failed");
}

// Times one change from a key until the file holds `want`; -1 when it never
// does, or does not stay so (something more arrived).
double Timed(KeyCode key, const std::string& want, Clock::duration limit) {
    const auto start = Clock::now();
    Stroke(key);
    Clock::time_point done;
    if (!WaitFor(want, limit, &done)) return -1;
    std::this_thread::sleep_for(150ms);
    return Read() == want ? Micros(done - start) : -1;
}

int Expand(int count, const std::string& keyword, const std::string& expected, FILE* out,
           FILE* floorOut) {
    const KeyCode space = Code(XK_space), plain = Code(XK_x);
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        Clear();
        XdotoolType(keyword);
        if (!WaitFor(keyword, 5s)) Die("the keyword did not arrive: \"" + Read() + "\"");
        std::this_thread::sleep_for(50ms);
        const double t = Timed(space, expected, 10s);
        if (t < 0) {
            ++lost;
            std::fprintf(out, "lost\n");
            std::fprintf(stderr, "peer_probe: round %d gave \"%s\"\n", i, Read().c_str());
        } else {
            std::fprintf(out, "%.0f\n", t);
        }
        Clear();
        const double f = Timed(plain, "x", 5s);
        std::fprintf(floorOut, f < 0 ? "lost\n" : "%.0f\n", f);
        Stroke(space);
        WaitFor("x ", 5s);
    }
    return lost;
}

// Code points of a UTF-8 text (the probe's own arguments: trusted).
std::vector<unsigned long> CodePoints(const std::string& s) {
    std::vector<unsigned long> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned long u = n == 1 ? c : c & (0x3F >> (n - 1));
        for (int k = 1; k < n && i + k < s.size(); ++k)
            u = (u << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(u);
        i += n;
    }
    return out;
}

struct TStroke {
    KeyCode code;
    bool shift;
};

int Ceiling(int count, const std::string& text, FILE* out) {
    XkbDescPtr xkb = XkbGetMap(dpy, XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) Die("no keyboard map");
    std::vector<KeyCode> spare;
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc)
        if (XkbKeyNumSyms(xkb, kc) == 0) spare.push_back(static_cast<KeyCode>(kc));
    XkbFreeKeyboard(xkb, 0, True);

    std::vector<TStroke> strokes;
    std::vector<std::pair<KeySym, KeyCode>> mapped;
    for (unsigned long u : CodePoints(text)) {
        const KeySym sym = u == '\n' ? XK_Return : u < 0x100 ? u : 0x01000000 | u;
        KeyCode kc = XKeysymToKeycode(dpy, sym);
        bool shift = false;
        if (kc) {
            shift = XkbKeycodeToKeysym(dpy, kc, 0, 0) != sym;
        } else {
            for (const auto& [s, k] : mapped)
                if (s == sym) kc = k;
            if (!kc) {
                if (spare.empty()) Die("no spare key left for a character");
                kc = spare.back();
                spare.pop_back();
                KeySym both[2] = {sym, sym};
                XChangeKeyboardMapping(dpy, kc, 2, both, 1);
                mapped.emplace_back(sym, kc);
            }
        }
        strokes.push_back({kc, shift});
    }
    XSync(dpy, False);
    std::this_thread::sleep_for(200ms); // the target fetches the new map
    const KeyCode shiftKey = Code(XK_Shift_L);
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        Clear();
        const auto start = Clock::now();
        for (const TStroke& s : strokes) {
            if (s.shift) XTestFakeKeyEvent(dpy, shiftKey, True, CurrentTime);
            XTestFakeKeyEvent(dpy, s.code, True, CurrentTime);
            XTestFakeKeyEvent(dpy, s.code, False, CurrentTime);
            if (s.shift) XTestFakeKeyEvent(dpy, shiftKey, False, CurrentTime);
        }
        XFlush(dpy);
        Clock::time_point done;
        if (WaitFor(text, 20s, &done)) {
            std::fprintf(out, "%.0f\n", Micros(done - start));
        } else {
            ++lost;
            std::fprintf(out, "lost\n");
        }
    }
    for (const auto& m : mapped) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(dpy, m.second, 1, &none, 1);
    }
    XSync(dpy, False);
    return lost;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "expand" && argc == 8) || (mode == "ceiling" && argc == 6))) {
        std::fprintf(stderr,
                     "usage: peer_probe expand TARGET COUNT KEYWORD EXPECTED OUT FLOOR_OUT\n"
                     "       peer_probe ceiling TARGET COUNT TEXT OUT\n");
        return 2;
    }
    target = argv[2];
    const int count = std::atoi(argv[3]);
    if (count < 1 || count > 100000) Die("COUNT out of range");
    dpy = XOpenDisplay(nullptr);
    if (!dpy) Die("no X display");
    int ev, er, major, minor;
    if (!XTestQueryExtension(dpy, &ev, &er, &major, &minor)) Die("the X server has no XTEST");
    watchFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const std::string dir = target.substr(0, target.find_last_of('/') + 1);
    if (watchFd < 0 || inotify_add_watch(watchFd, dir.empty() ? "." : dir.c_str(),
                                         IN_MOVED_TO | IN_CLOSE_WRITE) < 0)
        Die("cannot watch the target's folder");
    int lost = 0;
    if (mode == "expand") {
        FILE* out = std::fopen(argv[6], "w");
        FILE* floorOut = std::fopen(argv[7], "w");
        if (!out || !floorOut) Die("cannot write the figures");
        lost = Expand(count, argv[4], argv[5], out, floorOut);
        std::fclose(out);
        std::fclose(floorOut);
    } else {
        FILE* out = std::fopen(argv[5], "w");
        if (!out) Die("cannot write the figures");
        lost = Ceiling(count, argv[4], out);
        std::fclose(out);
    }
    XCloseDisplay(dpy);
    return lost > 0 ? 3 : 0;
}
