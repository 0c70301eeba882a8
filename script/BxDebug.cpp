// bx_debug: diagnostics for script writers. Always succeeds with no result.
#include "platform/Ansi.h"
#include "script/BxCommandSet.h"
#include "script/ScriptHost.h"
#include "script/ScriptServer.h"
#include "script/TclInterface.h"

namespace {

QString Endpoint(const QHostAddress& address, quint16 port) {
    return address.toString() + QLatin1Char(':') + QString::number(port);
}

// The remote client whose script is running, as its connection shows it.
QString ClientDetails(const TScriptServer& server, const QTcpSocket& client) {
    return QStringLiteral("RemoteHost: ") + client.peerAddress().toString() +
           QStringLiteral("  LocalHost: ") + client.localAddress().toString() +
           QStringLiteral("  Host: ") + server.ServerAddress().toString() +
           QStringLiteral(" ClientLocalAddress: ") +
           Endpoint(client.localAddress(), client.localPort()) +
           QStringLiteral(" ClientRemoteAddress: ") +
           Endpoint(client.peerAddress(), client.peerPort());
}

} // namespace

int BxDebugCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    result.clear();
    if (argv.value(1) == "socket") {
        // Only a script sent over the script port has a client to show.
        const TScriptServer* server = ctx.Host.ScriptServer();
        const QTcpSocket* client = server ? server->CurrentClient() : nullptr;
        if (client) ctx.Tcl.Inform(ClientDetails(*server, *client));
    }
    if (argv.value(1) == "msg")
        ctx.Host.DiagnosticMessage(argv.size() > 2 ? std::optional(Ansi::ToUnicode(argv[2]))
                                                   : std::nullopt);
    return TTclInterface::TclOk;
}
