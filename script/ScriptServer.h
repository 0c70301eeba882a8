#pragma once
// The remote script server: programs of the same user on this computer send a
// Tcl script over TCP and get the interpreter's result back as plain text.
// The protocol has no framing, but a client sends its next script only after
// the reply to the last one: everything that arrives until the script is a
// complete Tcl text and the connection has been quiet for a moment is one
// script, however TCP split it. A short complete script that arrives in one
// read cannot have been split and runs at once. Runs on the UI thread; one script at a time.
#include "script/ProcNetTcp.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class QTcpServer;
class TScriptEvaluator;

class TScriptServer : public QObject {
    Q_OBJECT
public:
    // True when the program can take a script: typing engine idle, typing
    // timer stopped, main window the active form.
    using TReadiness = std::function<bool()>;
    using TOwnerLookup =
        std::function<std::optional<uint>(const TTcpEndpoint& local, const TTcpEndpoint& remote)>;

    // A script this long or longer is refused whole.
    static constexpr qint64 DefaultRequestLimit = 1024 * 1024;
    // Connections of the owner; others are closed at once and not counted.
    static constexpr int MaxClients = 64;
    // Silence after which a complete text is taken as the whole script; longer
    // texts wait longer, as their sender may be refilling its buffer.
    static constexpr int DefaultQuietMsec = 20;
    // Shorter than the least segment TCP may use (its minimum MSS).
    static constexpr qsizetype OneSegment = 536;
    // A text that still ends inside braces after this much silence is refused.
    static constexpr int DefaultIncompleteMsec = 2000;
    // A connection that sends nothing for this long is closed.
    static constexpr int DefaultIdleMsec = 60000;

    explicit TScriptServer(TScriptEvaluator& evaluator, QObject* parent = nullptr);
    ~TScriptServer() override;

    // Listens on 127.0.0.1 and, where available, ::1 — never on other
    // interfaces. Port 0 picks a free port. False with *error on failure.
    bool Listen(quint16 port, QString* error = nullptr);
    void Close();
    bool IsListening() const;
    quint16 Port() const { return port_; }
    QHostAddress ServerAddress() const;

    void SetReadiness(TReadiness ready) { ready_ = std::move(ready); }
    void SetOwnerLookup(TOwnerLookup lookup) { ownerLookup_ = std::move(lookup); }
    void SetRequestLimit(qint64 bytes);
    qint64 RequestLimit() const { return limit_; }
    void SetTimeouts(int quietMsec, int incompleteMsec, int idleMsec);
    // Until start-up has finished every request is answered "BUSY".
    void MarkStarted() { started_ = true; }
    bool Started() const { return started_; }

    bool RequestRunning() const { return requestRunning_; }
    // The client whose script is being evaluated (bx_debug socket); null otherwise.
    QTcpSocket* CurrentClient() const { return currentClient_; }
    int ClientCount() const { return int(clients_.size()); }

    // True when `request` begins like an HTTP request (a browser led here).
    static bool LooksLikeHttp(const QByteArray& request);

signals:
    // A client's connection failed (typically it dropped); for the log only.
    void ClientError(const QString& message);

private:
    struct TClient {
        QByteArray Pending;      // the script received so far
        bool Discarding = false; // a refused script's end cannot be known: the rest is dropped
        bool Waited = false;     // the text was unfinished when the connection fell quiet
        bool InUse = false;      // its script is running: the socket must outlive the call
        bool Gone = false;       // disconnected while in use: freed when the script ends
        QTimer* Quiet = nullptr;
        QTimer* Idle = nullptr;
    };

    void Accept(QTcpServer* server);
    bool Trusted(QTcpSocket* socket) const;
    void Refuse(QTcpSocket* socket, const QByteArray& reply);
    void ReadRequest(QTcpSocket* socket);
    void Quiet(QTcpSocket* socket);
    void Run(QTcpSocket* socket, const QByteArray& request);
    void Send(QTcpSocket* socket, const QByteArray& reply);
    void Dropped(QTcpSocket* socket);
    void Drop(QTcpSocket* socket);

    TScriptEvaluator& evaluator_;
    std::vector<QTcpServer*> servers_;
    quint16 port_ = 0;
    TReadiness ready_;
    TOwnerLookup ownerLookup_;
    qint64 limit_ = DefaultRequestLimit;
    int quietMsec_ = DefaultQuietMsec;
    int incompleteMsec_ = DefaultIncompleteMsec;
    int idleMsec_ = DefaultIdleMsec;
    bool started_ = false;
    bool requestRunning_ = false;
    QPointer<QTcpSocket> currentClient_;
    std::unordered_map<QObject*, TClient> clients_;
};
