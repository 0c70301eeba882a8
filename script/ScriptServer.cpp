#include "script/ScriptServer.h"

#include "script/ScriptEvaluator.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <unistd.h>
#include <utility>

namespace {

// Restores the idle state however the evaluation ends.
struct TRunningGuard {
    bool& Running;
    QPointer<QTcpSocket>& Current;
    ~TRunningGuard() {
        Running = false;
        Current = nullptr;
    }
};

} // namespace

TScriptServer::TScriptServer(TScriptEvaluator& evaluator, QObject* parent)
    : QObject(parent), evaluator_(evaluator), ownerLookup_(TcpSocketOwner) {}

TScriptServer::~TScriptServer() {
    Close();
}

bool TScriptServer::Listen(quint16 port, QString* error) {
    Close();
    auto* v4 = new QTcpServer(this);
    if (!v4->listen(QHostAddress::LocalHost, port)) {
        if (error) *error = v4->errorString();
        delete v4;
        return false;
    }
    port_ = v4->serverPort();
    servers_.push_back(v4);
    // IPv6 may be switched off; IPv4 alone is enough.
    auto* v6 = new QTcpServer(this);
    if (v6->listen(QHostAddress::LocalHostIPv6, port_))
        servers_.push_back(v6);
    else
        delete v6;
    for (QTcpServer* server : servers_)
        connect(server, &QTcpServer::newConnection, this, [this, server] { Accept(server); });
    return true;
}

void TScriptServer::Close() {
    for (QTcpServer* server : servers_)
        delete server;
    servers_.clear();
    port_ = 0;
    for (auto& [object, client] : clients_) {
        object->disconnect(this);
        static_cast<QTcpSocket*>(object)->abort();
        // A socket whose script is running is freed with the server instead.
        if (!client.InUse) object->deleteLater();
    }
    clients_.clear();
}

bool TScriptServer::IsListening() const {
    return !servers_.empty();
}

QHostAddress TScriptServer::ServerAddress() const {
    return servers_.empty() ? QHostAddress() : servers_.front()->serverAddress();
}

void TScriptServer::SetRequestLimit(qint64 bytes) {
    limit_ = qMax<qint64>(bytes, 2);
    for (auto& [object, client] : clients_)
        static_cast<QTcpSocket*>(object)->setReadBufferSize(limit_);
}

void TScriptServer::SetTimeouts(int quietMsec, int incompleteMsec, int idleMsec) {
    quietMsec_ = qMax(1, quietMsec);
    incompleteMsec_ = qMax(1, incompleteMsec);
    idleMsec_ = qMax(1, idleMsec);
}

void TScriptServer::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        socket->setParent(this);
        // Checked before anything is kept for the client: refused connections
        // are closed at once and never take an owner's place.
        if (!Trusted(socket)) {
            Refuse(socket, "ACCESS DENIED");
            continue;
        }
        if (clients_.size() >= size_t(MaxClients)) {
            Refuse(socket, "BUSY");
            continue;
        }
        // Bounded memory per client: Qt stops reading from the kernel when full.
        socket->setReadBufferSize(limit_);
        TClient& client = clients_[socket];
        client.Quiet = new QTimer(socket);
        client.Quiet->setSingleShot(true);
        client.Quiet->setTimerType(Qt::PreciseTimer);
        client.Idle = new QTimer(socket);
        client.Idle->setSingleShot(true);
        client.Idle->start(idleMsec_);
        connect(client.Quiet, &QTimer::timeout, this, [this, socket] { Quiet(socket); });
        connect(client.Idle, &QTimer::timeout, this, [this, socket] {
            const auto found = clients_.find(socket);
            if (found != clients_.end() && !found->second.InUse) Drop(socket);
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Dropped(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket->error() != QAbstractSocket::RemoteHostClosedError)
                emit ClientError(socket->errorString());
        });
        connect(socket, &QObject::destroyed, this, [this](QObject* o) { clients_.erase(o); });
        Send(socket, requestRunning_ || !started_ ? "BUSY" : "OK");
    }
}

void TScriptServer::Refuse(QTcpSocket* socket, const QByteArray& reply) {
    clients_.erase(socket);
    socket->disconnect(this);
    Send(socket, reply);
    // The reply goes out first; then the socket closes and frees itself.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
}

void TScriptServer::Drop(QTcpSocket* socket) {
    clients_.erase(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool TScriptServer::Trusted(QTcpSocket* socket) const {
    // A client on another computer, or one that came in through another interface.
    if (!SameAddress(socket->localAddress(), socket->peerAddress())) return false;
    // Any local user, or a web page through the browser, can reach a loopback
    // port; scripts run as this user, so only this user's programs may send them.
    const TTcpEndpoint clientEnd{socket->peerAddress(), socket->peerPort()};
    const TTcpEndpoint serverEnd{socket->localAddress(), socket->localPort()};
    const std::optional<uint> owner =
        ownerLookup_ ? ownerLookup_(clientEnd, serverEnd) : std::nullopt;
    return owner && *owner == uint(getuid());
}

bool TScriptServer::LooksLikeHttp(const QByteArray& request) {
    static const char* const methods[] = {"GET ",   "POST ",    "HEAD ",    "PUT ",   "DELETE ",
                                          "PATCH ", "OPTIONS ", "CONNECT ", "TRACE ", "PRI "};
    for (const char* method : methods)
        if (request.startsWith(method)) return true;
    // Any other method: "<TOKEN> <target> HTTP/<digit>" on the first line.
    static const QRegularExpression requestLine(QStringLiteral("^[A-Z-]+ \\S+ HTTP/\\d"));
    const qsizetype eol = request.indexOf('\n');
    const QByteArray first = request.left(eol < 0 ? qMin<qsizetype>(request.size(), 8192) : eol);
    return requestLine.match(QString::fromLatin1(first)).hasMatch();
}

void TScriptServer::ReadRequest(QTcpSocket* socket) {
    const auto found = clients_.find(socket);
    // While its own script runs, what it sends waits in the socket.
    if (found == clients_.end() || found->second.InUse) return;
    TClient& client = found->second;
    if (!socket->isReadable()) {
        Send(socket, "SOCKET READ ERROR");
        return;
    }
    const QByteArray data = socket->readAll();
    client.Idle->start(idleMsec_);
    if (client.Discarding || data.isEmpty()) return;
    const bool first = client.Pending.isEmpty();
    client.Pending += data;
    client.Waited = false;
    // No TCP path cuts a write this short: a whole script in one read runs at
    // once, without the quiet interval.
    if (first && data.size() < OneSegment && evaluator_.IsComplete(data)) {
        client.Pending.clear();
        Run(socket, data);
        return;
    }
    if (client.Pending.size() >= limit_) {
        // Where this script ends, and the next begins, cannot be known.
        client.Discarding = true;
        client.Pending.clear();
        client.Quiet->stop();
        Send(socket, "*** Request too large (limit " + QByteArray::number(limit_ - 1) +
                         " bytes); further data on this connection is ignored");
        return;
    }
    client.Quiet->start(quietMsec_ + int(client.Pending.size() / 8192));
}

void TScriptServer::Quiet(QTcpSocket* socket) {
    const auto found = clients_.find(socket);
    if (found == clients_.end() || found->second.Pending.isEmpty()) return;
    TClient& client = found->second;
    if (!evaluator_.IsComplete(client.Pending)) {
        if (!client.Waited) {
            client.Waited = true;
            client.Quiet->start(incompleteMsec_);
            return;
        }
        // Running the part received would run half a script; a late rest
        // would then run as a script of its own.
        client.Discarding = true;
        client.Pending.clear();
        Send(socket, "*** Incomplete script (it ends inside braces, brackets or quotes); "
                     "further data on this connection is ignored");
        return;
    }
    Run(socket, std::exchange(client.Pending, QByteArray()));
}

void TScriptServer::Run(QTcpSocket* socket, const QByteArray& request) {
    if (LooksLikeHttp(request)) {
        Refuse(socket, "ACCESS DENIED");
        return;
    }
    if (requestRunning_ || !started_ || (ready_ && !ready_())) {
        Send(socket, "BUSY");
        return;
    }

    QPointer<QTcpSocket> guard(socket);
    QByteArray reply;
    clients_[socket].InUse = true;
    {
        requestRunning_ = true;
        currentClient_ = socket;
        TRunningGuard idle{requestRunning_, currentClient_};
        try {
            reply = evaluator_.Evaluate(request);
        } catch (...) {
            reply = "*** Uncaught exception occurred";
        }
    }
    // The client may have gone while the script ran (or the server closed).
    const auto after = clients_.find(socket);
    if (!guard || after == clients_.end()) return;
    after->second.InUse = false;
    if (after->second.Gone) {
        // Queued from here, the deletion runs after the socket's own signal
        // emission, which is still on the stack, has finished.
        socket->deleteLater();
        return;
    }
    after->second.Idle->start(idleMsec_);
    Send(socket, reply);
    // Qt does not report data that arrived during this client's own
    // evaluation again; look at it once control is back in the event loop.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(
            this,
            [this, guard] {
                if (guard) ReadRequest(guard);
            },
            Qt::QueuedConnection);
}

void TScriptServer::Dropped(QTcpSocket* socket) {
    // A modal window inside a script runs a nested event loop, where a
    // deleteLater of the running client would be carried out beneath the
    // caller; wait until its script has ended.
    const auto found = clients_.find(socket);
    if (found != clients_.end() && found->second.InUse)
        found->second.Gone = true;
    else
        socket->deleteLater();
}

void TScriptServer::Send(QTcpSocket* socket, const QByteArray& reply) {
    // A failed send is of no consequence: the client has gone.
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    socket->write(reply);
    // Out now rather than from the event loop: the program may be closing.
    socket->flush();
}
