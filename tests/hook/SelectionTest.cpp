// The selection owner against a real X server: run inside
// tests/e2e/run_with_display.sh. A second connection plays the requestor.
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include "hook/x11/Selection.h"
#include "tests/hook/SelectionRequestor.h"
#include "tests/hook/WaitUntil.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using bxhook::x11::TSelectionOwner;
using selectiontest::TProperty;
using selectiontest::TRequestor;

const std::string kText = "café € 漢字\nzweite Zeile";
const std::string kLatin1 = "caf\xe9 ? ??\nzweite Zeile";

class SelectionTest : public ::testing::Test {
protected:
    TSelectionOwner owner;
    TRequestor req;
    std::atomic<bool> stop{false};
    std::thread pump;

    void SetUp() override {
        if (!req.dpy) GTEST_SKIP() << "no X display";
        std::string error;
        ASSERT_TRUE(owner.Open(error)) << error;
    }
    void TearDown() override {
        stop = true;
        if (pump.joinable()) pump.join();
    }
    // What the library's service thread does.
    void StartPump() {
        pump = std::thread([this] {
            while (!stop) {
                pollfd p{owner.Fd(), POLLIN, 0};
                const int t = owner.TimeoutMsec();
                poll(&p, 1, t < 0 || t > 20 ? 20 : t);
                owner.Process();
            }
        });
    }
    Atom Clipboard() { return req.A("CLIPBOARD"); }
};

TEST_F(SelectionTest, TextTargetsRoundTripOnBothSelections) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    for (Atom sel : {Clipboard(), Atom(XA_PRIMARY)}) {
        for (const char* target :
             {"UTF8_STRING", "TEXT", "text/plain;charset=utf-8", "text/plain"}) {
            const TProperty p = req.Convert(sel, req.A(target));
            EXPECT_EQ(p.bytes, kText) << target;
            EXPECT_EQ(p.format, 8);
            const bool mime = std::string(target).starts_with("text/");
            EXPECT_EQ(p.type, mime ? req.A(target) : req.A("UTF8_STRING")) << target;
        }
        const TProperty latin = req.Convert(sel, XA_STRING);
        EXPECT_EQ(latin.bytes, kLatin1);
        EXPECT_EQ(latin.type, XA_STRING);
    }
}

TEST_F(SelectionTest, EveryAdvertisedTargetIsServedAndOthersRefused) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    const TProperty targets = req.Convert(Clipboard(), req.A("TARGETS"));
    ASSERT_EQ(targets.type, XA_ATOM);
    EXPECT_EQ(targets.list.size(), 8u);
    for (long t : targets.list) {
        if (Atom(t) == req.A("MULTIPLE")) continue;
        EXPECT_TRUE(req.Convert(Clipboard(), Atom(t)).exists) << XGetAtomName(req.dpy, t);
    }
    EXPECT_EQ(req.Request(Clipboard(), req.A("image/png"), req.prop), Atom(None));
    // MULTIPLE without its list of pairs.
    XDeleteProperty(req.dpy, req.win, req.prop);
    EXPECT_EQ(req.Request(Clipboard(), req.A("MULTIPLE"), req.prop), Atom(None));
}

TEST_F(SelectionTest, RequestsOlderThanTheOwnershipAreRefused) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    const TProperty stamp = req.Convert(Clipboard(), req.A("TIMESTAMP"));
    ASSERT_EQ(stamp.type, XA_INTEGER);
    ASSERT_EQ(stamp.list.size(), 1u);
    const Time owned = static_cast<Time>(stamp.list[0]);
    ASSERT_NE(owned, Time(CurrentTime));
    EXPECT_EQ(req.Request(Clipboard(), req.A("UTF8_STRING"), req.prop, owned - 1), Atom(None));
    EXPECT_EQ(req.Request(Clipboard(), req.A("UTF8_STRING"), req.prop, owned), req.prop);
}

TEST_F(SelectionTest, MultipleConvertsEachPair) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    const Atom p1 = req.A("BX_P1"), p2 = req.A("BX_P2"), p3 = req.A("BX_P3");
    const long pairs[] = {long(req.A("UTF8_STRING")),
                          long(p1),
                          long(req.A("image/png")),
                          long(p2),
                          long(XA_STRING),
                          long(p3)};
    XChangeProperty(req.dpy, req.win, req.prop, req.A("ATOM_PAIR"), 32, PropModeReplace,
                    (const unsigned char*)pairs, 6);
    ASSERT_EQ(req.Request(Clipboard(), req.A("MULTIPLE"), req.prop), req.prop);
    const TProperty answer = req.Read(req.prop, true);
    ASSERT_EQ(answer.list.size(), 6u);
    EXPECT_EQ(Atom(answer.list[1]), p1);
    EXPECT_EQ(Atom(answer.list[3]), Atom(None));
    EXPECT_EQ(Atom(answer.list[5]), p3);
    EXPECT_EQ(req.Read(p1, true).bytes, kText);
    EXPECT_EQ(req.Read(p3, true).bytes, kLatin1);
    EXPECT_TRUE(owner.WaitFetched(owner.Generation(), 2000));
}

TEST_F(SelectionTest, LargeTextArrivesWholeByIncrAndOnlyThenCountsAsFetched) {
    StartPump();
    std::string big;
    for (int i = 0; big.size() < 4u << 20; ++i)
        big += std::to_string(i) + " – Zeile €\n";
    ASSERT_TRUE(owner.Offer(big));
    const uint64_t generation = owner.Generation();
    ASSERT_EQ(req.Request(Clipboard(), req.A("UTF8_STRING"), req.prop), req.prop);
    ASSERT_EQ(req.Read(req.prop, false).type, req.A("INCR"));
    EXPECT_FALSE(owner.WaitFetched(generation, 100));
    const TProperty whole = req.ReceiveIncr(req.prop);
    EXPECT_EQ(whole.type, req.A("UTF8_STRING"));
    EXPECT_TRUE(whole.bytes == big) << whole.bytes.size() << " of " << big.size() << " bytes";
    EXPECT_TRUE(owner.WaitFetched(generation, 2000));
    EXPECT_TRUE(WaitUntil([&] { return owner.ActiveTransfers() == 0; }));
}

TEST_F(SelectionTest, StalledIncrRequestorIsDroppedAndBlocksNobody) {
    owner.SetStallLimit(300ms);
    StartPump();
    const std::string big(3u << 20, 'x');
    ASSERT_TRUE(owner.Offer(big));
    ASSERT_EQ(req.Request(Clipboard(), req.A("UTF8_STRING"), req.prop), req.prop);
    ASSERT_EQ(req.Read(req.prop, false).type, req.A("INCR")); // and never deleted

    TRequestor other;
    bool incr = false;
    EXPECT_EQ(other.Convert(XA_PRIMARY, other.A("UTF8_STRING"), &incr).bytes.size(), big.size());
    EXPECT_TRUE(incr);
    EXPECT_TRUE(other.Convert(XA_PRIMARY, other.A("TARGETS")).exists);
    EXPECT_TRUE(WaitUntil([&] { return owner.ActiveTransfers() == 0; }));
}

TEST_F(SelectionTest, VanishedIncrRequestorIsDroppedAtOnce) {
    owner.SetStallLimit(10min);
    StartPump();
    ASSERT_TRUE(owner.Offer(std::string(3u << 20, 'y')));
    {
        TRequestor gone;
        ASSERT_EQ(gone.Request(Clipboard(), gone.A("UTF8_STRING"), gone.prop), gone.prop);
        EXPECT_EQ(owner.ActiveTransfers(), 1u);
    }
    EXPECT_TRUE(WaitUntil([&] { return owner.ActiveTransfers() == 0; }));
}

TEST_F(SelectionTest, AnotherClientsCopyTakesOnlyThatSelection) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    XSetSelectionOwner(req.dpy, Clipboard(), req.win, CurrentTime);
    XFlush(req.dpy);
    EXPECT_TRUE(WaitUntil([&] { return !owner.OwnsClipboard(); }));
    EXPECT_TRUE(owner.OwnsPrimary());
    EXPECT_EQ(req.Convert(XA_PRIMARY, req.A("UTF8_STRING")).bytes, kText);

    ASSERT_TRUE(owner.Offer("second"));
    EXPECT_TRUE(owner.OwnsClipboard());
    EXPECT_EQ(req.Convert(Clipboard(), req.A("UTF8_STRING")).bytes, "second");
}

TEST_F(SelectionTest, AnOfferWhileOwningServesTheNewTextUnlessACopyCameBetween) {
    // No pump: the loss of CLIPBOARD waits unread until the next Offer.
    ASSERT_TRUE(owner.Offer(kText));
    ASSERT_TRUE(owner.Offer("second"));
    XSetSelectionOwner(req.dpy, Clipboard(), req.win, CurrentTime);
    XSync(req.dpy, False);
    ASSERT_TRUE(owner.Offer("third"));
    EXPECT_EQ(XGetSelectionOwner(req.dpy, Clipboard()), owner.WindowId());
    StartPump();
    EXPECT_EQ(req.Convert(Clipboard(), req.A("UTF8_STRING")).bytes, "third");
    EXPECT_EQ(req.Convert(XA_PRIMARY, req.A("UTF8_STRING")).bytes, "third");
}

TEST_F(SelectionTest, WaitFetchedFollowsTheGenerations) {
    StartPump();
    ASSERT_TRUE(owner.Offer(kText));
    const uint64_t first = owner.Generation();
    EXPECT_FALSE(owner.WaitFetched(first, 100));
    ASSERT_TRUE(req.Convert(Clipboard(), req.A("TARGETS")).exists);
    EXPECT_FALSE(owner.WaitFetched(first, 100)); // the list of targets is not the text
    ASSERT_EQ(req.Convert(Clipboard(), req.A("UTF8_STRING")).bytes, kText);
    EXPECT_TRUE(owner.WaitFetched(first, 2000));

    ASSERT_TRUE(owner.Offer("next"));
    EXPECT_EQ(owner.Generation(), first + 1);
    EXPECT_FALSE(owner.WaitFetched(first + 1, 100));
}

TEST_F(SelectionTest, WithoutAPumpWaitFetchedTimesOutAndProcessServesLater) {
    ASSERT_TRUE(owner.Offer(kText));
    const uint64_t generation = owner.Generation();
    XConvertSelection(req.dpy, XA_PRIMARY, req.A("UTF8_STRING"), req.prop, req.win, CurrentTime);
    XFlush(req.dpy);
    EXPECT_FALSE(owner.WaitFetched(generation, 100));
    EXPECT_TRUE(WaitUntil([&] {
        owner.Process();
        return owner.WaitFetched(generation, 0);
    }));
    XEvent e;
    ASSERT_TRUE(req.WaitEvent(e, [](const XEvent& x) { return x.type == SelectionNotify; }));
    EXPECT_EQ(req.Read(req.prop, true).bytes, kText);
}

} // namespace
