// Where a script sent over the port ends: however TCP cuts it, it runs once, whole.
#include "ServerTestSupport.h"
#include "TclTestSupport.h"

#include "script/ScriptServer.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Pauses between pieces well below the quiet interval: one script, slowly sent.
constexpr int kPauseMsec = 30;
constexpr int kQuietMsec = 400;

class ScriptFraming : public testing::Test, public TTclHostFixture {
protected:
    void SetUp() override {
        Start();
        ASSERT_TRUE(Tcl.IsLoaded());
        ASSERT_TRUE(Server.Listen(0));
        Server.MarkStarted();
        Server.SetTimeouts(kQuietMsec, 5000, 60000);
    }
    TTclEvaluator Evaluator{Tcl};
    TScriptServer Server{Evaluator};
};

// "set ::cnt 0", `lines` times "incr ::cnt", then "set ::end reached",
// padded with a comment in front to exactly `size` bytes.
QByteArray CountingScript(qsizetype size, int* lines) {
    const QByteArray head = "set ::cnt 0\n", line = "incr ::cnt\n", tail = "set ::end reached";
    const qsizetype room = size - head.size() - tail.size() - 3; // "#\n" and a spare byte
    *lines = int(qMax<qsizetype>(0, room / line.size()));
    QByteArray body = head + line.repeated(*lines) + tail;
    QByteArray pad = "#" + QByteArray(qMax<qsizetype>(0, size - body.size() - 2), 'x') + "\n";
    return pad + body;
}

// Cuts at random places, one of them inside the word "incr"; no piece before
// the first cut is shorter than TCP's least segment.
std::vector<qsizetype> Cuts(const QByteArray& script, int count, unsigned seed) {
    std::vector<qsizetype> cuts;
    if (script.size() <= TScriptServer::OneSegment) return cuts;
    std::mt19937 random(seed);
    std::uniform_int_distribution<qsizetype> at(TScriptServer::OneSegment, script.size() - 1);
    for (int i = 0; i < count; ++i)
        cuts.push_back(at(random));
    const qsizetype incr = script.indexOf("incr", TScriptServer::OneSegment);
    if (incr > 0) cuts.push_back(incr + 2);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

TEST_F(ScriptFraming, RunsAScriptOnceWholeHoweverItIsCut) {
    TClient c(Server.Port());
    ASSERT_EQ(c.Reply(2), "OK");
    const QByteArray oneByte = "invalid command name \"7\"";
    c.WriteInPieces("7", {}, kPauseMsec);
    EXPECT_EQ(c.Reply(oneByte.size()), oneByte);
    const qsizetype sizes[] = {TScriptServer::OneSegment + 64, 4096, 100 * 1024, 660 * 1024,
                               Server.RequestLimit() - 1};
    unsigned seed = 1;
    for (qsizetype size : sizes) {
        int lines = 0;
        const QByteArray script = CountingScript(size, &lines);
        ASSERT_EQ(script.size(), size);
        Tcl.Eval("unset -nocomplain ::end");
        c.WriteInPieces(script, Cuts(script, 6, seed++), kPauseMsec);
        EXPECT_EQ(c.Reply(7), "reached") << size;
        // A piece run on its own would have answered too, ahead of this.
        const QByteArray count = QByteArray::number(lines);
        EXPECT_EQ(c.Exchange("set ::cnt", count), count) << size;
    }
}

TEST_F(ScriptFraming, AnswersAShortScriptInOneSegmentAtOnce) {
    // A quiet interval far beyond the test's patience: only the short path answers.
    Server.SetTimeouts(60 * 60 * 1000, 5000, 60 * 60 * 1000);
    TClient c(Server.Port());
    ASSERT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("expr {6 * 7}", "42"), "42");
    EXPECT_EQ(c.Exchange("string length [string repeat x 500]", "500"), "500");
}

TEST_F(ScriptFraming, WaitsForTheRestOfAnOpenBraceAndRefusesWhatNeverCloses) {
    TClient c(Server.Port());
    ASSERT_EQ(c.Reply(2), "OK");
    // Short, but unfinished; then a pause longer than the quiet interval.
    c.WriteInPieces("proc p {} {\n    return whole\n}\np", {12}, kQuietMsec * 2);
    EXPECT_EQ(c.Reply(5), "whole");

    Server.SetTimeouts(20, 300, 60000);
    const QByteArray refusal = "*** Incomplete script (it ends inside braces, brackets or "
                               "quotes); further data on this connection is ignored";
    EXPECT_EQ(c.Exchange("set ::half 1\nset b {", refusal), refusal);
    // The late rest must not run as a script of its own either.
    c.Socket.write("}\nset ::late 1");
    c.Socket.flush();
    TClient d(Server.Port());
    EXPECT_EQ(d.Reply(2), "OK");
    EXPECT_EQ(d.Exchange("info exists ::half", "0"), "0");
    SpinFor(100);
    EXPECT_EQ(d.Exchange("info exists ::late", "0"), "0");
}

TEST(ScriptFramingLimit, RefusesAnOversizedScriptWholeThoughItArrivesInPieces) {
    TFakeEvaluator fake;
    TScriptServer server(fake);
    ASSERT_TRUE(server.Listen(0));
    server.MarkStarted();
    server.SetTimeouts(kQuietMsec, 5000, 60000);
    const QByteArray refusal = "*** Request too large (limit 1048575 bytes); further data on "
                               "this connection is ignored";
    TClient big(server.Port());
    ASSERT_EQ(big.Reply(2), "OK");
    const QByteArray script = QByteArray("set filler 0123456789\n").repeated(5 * 1024 * 1024 / 22);
    std::vector<qsizetype> cuts;
    for (qsizetype at = 256 * 1024; at < script.size(); at += 256 * 1024)
        cuts.push_back(at);
    big.WriteInPieces(script, cuts, kPauseMsec);
    EXPECT_EQ(big.Reply(refusal.size()), refusal);
    SpinFor(kQuietMsec * 2);
    EXPECT_EQ(big.Socket.bytesAvailable(), 0);
    EXPECT_EQ(fake.Calls, 0);
    TClient c(server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("fine", "fine"), "fine");
}

} // namespace
