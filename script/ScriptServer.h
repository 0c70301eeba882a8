#pragma once
// The remote script server: programs of the same user on this computer send a
// Tcl script over TCP and get the interpreter's result back as plain text.
// No framing: whatever has arrived when the socket reports data is one
// script. Runs on the UI thread; one script at a time.
#include "script/ProcNetTcp.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
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

    // A read that fills this buffer cannot be a whole script.
    static constexpr qint64 DefaultRequestLimit = 1024 * 1024;
    static constexpr int MaxClients = 64;

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
        bool Denied = false;     // wrong address, other user or HTTP: every request refused
        bool Overflowed = false; // sent more than the limit at once: the rest is discarded
        bool InUse = false;      // its script is running: the socket must outlive the call
        bool Gone = false;       // disconnected while in use: freed when the script ends
    };

    void Accept(QTcpServer* server);
    bool Trusted(QTcpSocket* socket) const;
    void ReadRequest(QTcpSocket* socket);
    void Send(QTcpSocket* socket, const QByteArray& reply);
    void Dropped(QTcpSocket* socket);

    TScriptEvaluator& evaluator_;
    std::vector<QTcpServer*> servers_;
    quint16 port_ = 0;
    TReadiness ready_;
    TOwnerLookup ownerLookup_;
    qint64 limit_ = DefaultRequestLimit;
    bool requestRunning_ = false;
    QPointer<QTcpSocket> currentClient_;
    std::unordered_map<QObject*, TClient> clients_;
};
