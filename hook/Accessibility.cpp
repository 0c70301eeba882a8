#include "hook/Accessibility.h"

#include <cstdlib>

#ifdef BREVIX_HAVE_ATSPI
#include <atspi/atspi.h>
#endif

namespace bxhook {

// The focus is in a password field of a process that could not be named:
// every window counts as that field's.
constexpr uint32_t kUnknownProcess = UINT32_MAX;

TAccessibility& TAccessibility::Instance() {
    static TAccessibility instance;
    return instance;
}

TAccessibility::~TAccessibility() {
    Stop();
}

void TAccessibility::Start() {
    if (startRequested_.load(std::memory_order_acquire)) return;
    std::lock_guard g(mutex_);
    startRequested_.store(true, std::memory_order_release);
    if (started_) return;
    started_ = true;
#ifdef BREVIX_HAVE_ATSPI
    state_ = "starting";
    // The bus may take a D-Bus time-out to answer: never on the caller's thread.
    thread_ = std::thread(&TAccessibility::Run, this);
#else
    state_ = "not built with AT-SPI";
#endif
}

void TAccessibility::Stop() {
    std::thread t;
    {
        std::lock_guard g(mutex_);
        stopping_ = true;
#ifdef BREVIX_HAVE_ATSPI
        if (loop_) g_main_loop_quit(static_cast<GMainLoop*>(loop_));
#endif
        t = std::move(thread_);
    }
    // A thread still waiting for the bus to answer is left to end with the process.
    if (t.joinable()) {
        if (State() == "starting")
            t.detach();
        else
            t.join();
    }
}

std::string TAccessibility::State() const {
    std::lock_guard g(mutex_);
    return state_;
}

void TAccessibility::SetState(const std::string& state) {
    std::lock_guard g(mutex_);
    state_ = state;
}

void TAccessibility::FocusEvent(uint32_t pid, bool focused, bool password) {
    if (pid == 0) pid = kUnknownProcess;
    if (focused) {
        passwordPid_.store(password ? pid : 0);
    } else if (password) {
        uint32_t expected = pid;
        passwordPid_.compare_exchange_strong(expected, 0);
    }
}

#ifdef BREVIX_HAVE_ATSPI
namespace {
// The event is ours to free.
void OnFocusChanged(AtspiEvent* event, void*) {
    if (!event) return;
    if (!event->source) {
        g_boxed_free(ATSPI_TYPE_EVENT, event);
        return;
    }
    GError* error = nullptr;
    const AtspiRole role = atspi_accessible_get_role(event->source, &error);
    g_clear_error(&error);
    const guint pid = atspi_accessible_get_process_id(event->source, &error);
    g_clear_error(&error);
    TAccessibility::Instance().FocusEvent(pid, event->detail1 != 0,
                                          role == ATSPI_ROLE_PASSWORD_TEXT);
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}
} // namespace

void TAccessibility::Run() {
    // Without a session bus there is no accessibility bus either, and the
    // library would only print warnings.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS") && !std::getenv("AT_SPI_BUS_ADDRESS")) {
        SetState("no accessibility bus (no D-Bus session)");
        return;
    }
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    const int init = atspi_init();
    // The library attaches the bus it found to the context known then: once
    // more, now that it has one, so that its events come to this thread.
    atspi_set_main_context(context);
    if (init > 1 || !atspi_get_a11y_bus()) {
        SetState("no accessibility bus");
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
        return;
    }
    AtspiEventListener* listener = atspi_event_listener_new(OnFocusChanged, nullptr, nullptr);
    GError* error = nullptr;
    if (!atspi_event_listener_register(listener, "object:state-changed:focused", &error)) {
        SetState(std::string("the accessibility bus refused focus events: ") +
                 (error && error->message ? error->message : "unknown reason"));
        g_clear_error(&error);
        g_object_unref(listener);
        g_main_context_pop_thread_default(context);
        return;
    }
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    bool run;
    {
        std::lock_guard g(mutex_);
        run = !stopping_;
        loop_ = loop;
        state_ = "running";
    }
    if (run) g_main_loop_run(loop);
    {
        std::lock_guard g(mutex_);
        loop_ = nullptr;
        state_ = "stopped";
    }
    atspi_event_listener_deregister(listener, "object:state-changed:focused", nullptr);
    g_object_unref(listener);
    g_main_loop_unref(loop);
    g_main_context_pop_thread_default(context);
    passwordPid_.store(0);
}
#else
void TAccessibility::Run() {}
#endif

} // namespace bxhook
