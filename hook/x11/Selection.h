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
//
// With a restore limit set, Offer first reads what the selections it does
// not own yet hold, and once the text has been fetched serves that again
// (or gives a selection up that nobody held). Close hands the clipboard to
// the desktop's clipboard manager (CLIPBOARD_MANAGER, SAVE_TARGETS), so that
// what was pasted last outlives the program.
#include "hook/x11/SelectionFetch.h"

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
    // Restoring after a fetch: up to limitBytes per selection; 0 turns it off.
    void SetRestore(size_t limitBytes);
    // Asks the clipboard manager to take over the clipboard while it is still
    // ours, serving its requests meanwhile; true once it said it has.
    bool HandOver(int timeoutMsec);

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
    // True while the selection serves what it held before the last Offer.
    bool Restored(Atom selection) const;

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

    // What a selection held before our text, to be served again.
    struct TKept {
        bool active = false;
        bool restored = false;
        TSelectionContents saved;
    };
    int Index(Atom selection) const; // into kept_, -1 for neither
    void Keep();
    void RestoreNow();
    bool HandOverLocked(int timeoutMsec);
    TReply ConvertSaved(const TKept& kept, Window requestor, Atom target, Atom property);
    void Drain();
    void Handle(XEvent& e);
    void OnRequest(const XSelectionRequestEvent& r);
    void OnPropertyDelete(Window w, Atom property);
    void OnClear(Atom selection);
    TReply Convert(int selection, Window requestor, Atom target, Atom property);
    bool ConvertMultiple(int selection, Window requestor, Atom property, bool& text);
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
            atomPair, stamp, snapshot, manager, saveTargets, saveList;
    } atom_{};

    uint64_t generation_ = 0;
    uint64_t fetched_ = 0;
    TText text_;
    Time ownTime_ = 0;
    bool ownsClipboard_ = false, ownsPrimary_ = false;
    std::vector<TTransfer> transfers_;
    std::chrono::milliseconds stallLimit_{5000};
    size_t restoreLimit_ = 0;
    TKept kept_[2]; // CLIPBOARD, PRIMARY
    std::chrono::steady_clock::time_point restoreAt_ = std::chrono::steady_clock::time_point::max();
    bool handedOver_ = false;
};

} // namespace bxhook::x11
