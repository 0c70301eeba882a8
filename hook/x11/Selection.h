#pragma once
// Serves a text on CLIPBOARD and PRIMARY from a connection of its own, so the
// paste path learns when the target has actually fetched the text and can go
// on typing at once instead of sleeping: keys sent while a client (Tk) still
// waits for the selection would land in the middle of the pasted text.
//
// Threads: Offer, WaitFetched and the queries may be called from any thread;
// every use of the connection is serialised by one mutex. Someone must pump:
// the owner of the service thread polls Fd() (with TimeoutMsec() as the poll
// timeout) and calls Process() when it is readable or the timeout ran out.
// WaitFetched never pumps; with nobody pumping it simply times out. Stop the
// pumping thread before Close().
#include <X11/Xlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace bxhook::x11 {

class TSelectionOwner {
public:
    TSelectionOwner() = default;
    ~TSelectionOwner();
    TSelectionOwner(const TSelectionOwner&) = delete;
    TSelectionOwner& operator=(const TSelectionOwner&) = delete;

    // displayName null: $DISPLAY.
    bool Open(std::string& error, const char* displayName = nullptr);
    void Close();

    int Fd() const;
    // Milliseconds until Process() has work without the fd becoming readable
    // (an incremental transfer to give up, events already read); -1 none.
    int TimeoutMsec() const;
    void Process();

    // Takes both selections with the text; starts a new generation even when
    // ownership fails. False when CLIPBOARD or PRIMARY was not obtained.
    bool Offer(const std::string& utf8);
    uint64_t Generation() const;
    // True once a requestor has received the whole text of this generation
    // (or of a later one); false at the timeout or when closed.
    bool WaitFetched(uint64_t generation, int timeoutMsec);

    bool OwnsClipboard() const;
    bool OwnsPrimary() const;
    Window WindowId() const;
    // Incremental transfers in progress; a stalled requestor is dropped after
    // the stall limit (5 s unless set).
    size_t ActiveTransfers() const;
    void SetStallLimit(std::chrono::milliseconds limit);

private:
    struct TText {
        uint64_t generation = 0;
        std::shared_ptr<const std::string> utf8, latin1;
    };
    struct TTransfer {
        Window requestor;
        Atom property, type;
        std::shared_ptr<const std::string> data;
        size_t offset;
        uint64_t generation;
        std::chrono::steady_clock::time_point deadline;
    };
    struct TReply {
        bool served = false;
        bool text = false; // carried the text: counts as a fetch
    };

    void Drain();
    void Handle(XEvent& e);
    void OnRequest(const XSelectionRequestEvent& r);
    void OnPropertyDelete(Window w, Atom property);
    void OnClear(Atom selection);
    TReply Convert(Window requestor, Atom target, Atom property);
    bool ConvertMultiple(Window requestor, Atom property, bool& text);
    bool StartTransfer(Window requestor, Atom property, Atom type,
                       std::shared_ptr<const std::string> data);
    void EndTransfer(size_t index);
    void DropRequestor(Window w);
    void Expire();
    void MarkFetched(uint64_t generation);
    Time ServerTime();

    mutable std::mutex mutex_;
    std::condition_variable fetchedCv_;
    Display* dpy_ = nullptr;
    int fd_ = -1;
    Window window_ = 0;
    size_t maxChunk_ = 0;
    struct {
        Atom clipboard, targets, timestamp, multiple, utf8, text, mimeUtf8, mimePlain, incr,
            atomPair, stamp;
    } atom_{};

    uint64_t generation_ = 0;
    uint64_t fetched_ = 0;
    TText text_;
    Time ownTime_ = 0;
    bool ownsClipboard_ = false, ownsPrimary_ = false;
    std::vector<TTransfer> transfers_;
    std::chrono::milliseconds stallLimit_{5000};
};

} // namespace bxhook::x11
