#pragma once
// A script server's clients for tests: a socket that writes scripts and reads
// replies, an evaluator that echoes, and an event loop run until a condition.
#include "script/ScriptEvaluator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <functional>
#include <vector>

void SpinFor(int msec);

// Runs the event loop until `done` or a generous deadline (a hang guard, not
// a timing check).
template <typename F> inline bool SpinUntil(F done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class TFakeEvaluator : public TScriptEvaluator {
public:
    std::function<QByteArray(const QByteArray&)> Body = [](const QByteArray& s) { return s; };
    int Calls = 0;
    QByteArray Evaluate(const QByteArray& script) override {
        ++Calls;
        return Body(script);
    }
};

class TClient {
public:
    explicit TClient(quint16 port, const QHostAddress& to = QHostAddress(QHostAddress::LocalHost),
                     const QHostAddress& from = QHostAddress()) {
        if (!from.isNull()) Socket.bind(from);
        Socket.connectToHost(to, port);
    }
    // The next `expected.size()` bytes.
    QByteArray Reply(qsizetype size) {
        SpinUntil([&] { return Socket.bytesAvailable() >= size; });
        return Socket.read(size);
    }
    QByteArray Exchange(const QByteArray& script, const QByteArray& expected) {
        Socket.write(script);
        Socket.flush();
        return Reply(expected.size());
    }
    // Writes `data` cut at `cuts` (ascending offsets), pausing `pauseMsec`
    // after each piece has left: the server sees the pieces one by one.
    void WriteInPieces(const QByteArray& data, const std::vector<qsizetype>& cuts, int pauseMsec);
    // True once the server has closed the connection.
    bool ClosedByServer() {
        return SpinUntil([&] { return Socket.state() == QAbstractSocket::UnconnectedState; });
    }
    QTcpSocket Socket;
};

inline void TClient::WriteInPieces(const QByteArray& data, const std::vector<qsizetype>& cuts,
                                   int pauseMsec) {
    qsizetype from = 0;
    for (qsizetype i = 0; i <= qsizetype(cuts.size()); ++i) {
        const qsizetype to = i < qsizetype(cuts.size()) ? cuts[i] : data.size();
        Socket.write(data.mid(from, to - from));
        from = to;
        SpinUntil([&] { return Socket.bytesToWrite() == 0; });
        if (i < qsizetype(cuts.size())) SpinFor(pauseMsec);
    }
}

// Runs the event loop for `msec`: a client pausing between the pieces it writes.
inline void SpinFor(int msec) {
    QDeadlineTimer deadline(msec);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
