// The commands reached by a client of the remote script server.
#include "BxFixture.h"

#include "script/ScriptEvaluator.h"
#include "script/ScriptServer.h"

#include <QTcpSocket>

using Remote = BxFixture;

TEST_F(Remote, ClientDrivesTheDictionary) {
    TTclEvaluator evaluator(*Form->Tcl);
    TScriptServer server(evaluator);
    ASSERT_TRUE(server.Listen(0));
    server.MarkStarted();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.Port());
    // Replies have no end mark: read until as long as the one expected.
    const auto reply = [&](const QByteArray& expected) {
        QByteArray got;
        SpinUntil([&] {
            got += socket.readAll();
            return got.size() >= expected.size();
        });
        return got;
    };
    EXPECT_EQ(reply("OK"), "OK");
    const struct {
        QByteArray script, reply;
    } exchange[] = {
        {"bx_list length", "3"},
        {"bx_list text 7", "invalid index \"7\": out of range"},
        {"bx_list add remote {sent from afar}", "3"},
        {"bx_file", P("one.bxd").toUtf8()},
    };
    for (const auto& e : exchange) {
        socket.write(e.script);
        EXPECT_EQ(reply(e.reply), e.reply) << e.script.constData();
    }
    EXPECT_EQ(Form->Session.Dict().Count(), 4);
    EXPECT_TRUE(Form->Session.Modified());
}
