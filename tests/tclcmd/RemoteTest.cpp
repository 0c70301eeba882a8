// The commands reached by a client of the remote script server.
#include "BxFixture.h"

#include "dictionary/Dict.h"
#include "script/ScriptEvaluator.h"
#include "script/ScriptServer.h"

#include <QTcpSocket>

class Remote : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        Start(P("one.bxd"));
        Evaluator = std::make_unique<TTclEvaluator>(*Form->Tcl);
        Server = std::make_unique<TScriptServer>(*Evaluator);
        ASSERT_TRUE(Server->Listen(0));
    }
    void TearDown() override {
        Server.reset();
        Evaluator.reset();
        BxFixture::TearDown();
    }
    QByteArray Ask(QTcpSocket& socket, const QByteArray& script) {
        socket.write(script);
        socket.flush();
        EXPECT_TRUE(SpinUntil([&] { return socket.bytesAvailable() > 0; }));
        QByteArray reply = socket.readAll();
        // A reply may come in pieces; take what follows promptly.
        while (socket.waitForReadyRead(50))
            reply += socket.readAll();
        return reply;
    }
    std::unique_ptr<TTclEvaluator> Evaluator;
    std::unique_ptr<TScriptServer> Server;
};

TEST_F(Remote, ClientDrivesTheDictionary) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Server->Port());
    ASSERT_TRUE(SpinUntil([&] { return socket.bytesAvailable() >= 2; }));
    EXPECT_EQ(socket.read(2), "OK");
    EXPECT_EQ(Ask(socket, "bx_list length"), "3");
    EXPECT_EQ(Ask(socket, "bx_list text 7"), "invalid index \"7\": out of range");
    EXPECT_EQ(Ask(socket, "bx_list add remote {sent from afar}"), "3");
    EXPECT_EQ(Form->Session.Dict().Count(), 4);
    EXPECT_TRUE(Form->Session.Modified());
    EXPECT_EQ(Ask(socket, "bx_file"), P("one.bxd").toUtf8());
}
