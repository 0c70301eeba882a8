#include "script/ScriptServer.h"

#include "script/ScriptEvaluator.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <unistd.h>

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

void TScriptServer::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        if (clients_.size() >= size_t(MaxClients)) {
            socket->write("BUSY");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        socket->setParent(this);
        // Bounded memory per client: Qt stops reading from the kernel when full.
        socket->setReadBufferSize(limit_);
        clients_[socket].Denied = !Trusted(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Dropped(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket->error() != QAbstractSocket::RemoteHostClosedError)
                emit ClientError(socket->errorString());
        });
        connect(socket, &QObject::destroyed, this, [this](QObject* o) { clients_.erase(o); });
        Send(socket, requestRunning_ ? "BUSY" : "OK");
    }
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
    if (found == clients_.end()) return;
    if (!socket->isReadable()) {
        Send(socket, "SOCKET READ ERROR");
        return;
    }
    const QByteArray request = socket->readAll();
    TClient& client = found->second;
    if (client.Overflowed) return;
    if (request.size() >= limit_) {
        // The rest of this stream cannot be told apart from new scripts.
        client.Overflowed = true;
        Send(socket, "*** Request too large (limit " + QByteArray::number(limit_ - 1) +
                         " bytes); further data on this connection is ignored");
        return;
    }
    if (!client.Denied && LooksLikeHttp(request)) client.Denied = true;
    if (client.Denied) {
        Send(socket, "ACCESS DENIED");
        return;
    }
    if (requestRunning_ || (ready_ && !ready_())) {
        Send(socket, "BUSY");
        return;
    }
    if (request.isEmpty()) {
        Send(socket, "OK");
        return;
    }

    QPointer<QTcpSocket> guard(socket);
    QByteArray reply;
    client.InUse = true;
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
    if (socket && socket->state() == QAbstractSocket::ConnectedState) socket->write(reply);
}
