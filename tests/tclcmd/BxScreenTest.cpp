// bx_screen and bx_debug on a real main window and the virtual desktop.
#include "BxFixture.h"

#include "hook/HookApi.h"
#include "platform/VirtualKeys.h"
#include "script/ScriptServer.h"

#include <QTcpSocket>
#include <unistd.h>
#include <vector>

namespace {

QByteArray N(qulonglong n) {
    return QByteArray::number(n);
}

std::vector<uint16_t> TakeSimKeys() {
    uint16_t keys[64];
    const int n = BxVirtualTakeSimKeys(keys, 64);
    return {keys, keys + n};
}

constexpr uint16_t Released = 0x100;

class BxScreen : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        Notepad = BxVirtualCreateWindow(4242);
        Other = BxVirtualCreateWindow(4243);
        ASSERT_TRUE(Notepad && Other) << "the virtual desktop must run";
        BxVirtualSetWindowClass(Notepad, "Notepad-Test", "notepad");
        BxVirtualSetWindowClass(Other, "Other-Test", "other");
        ASSERT_EQ(BxSetWindowTitle(Notepad, "Shopping list"), 1);
        TakeSimKeys();
    }
    BxHwnd Notepad = 0, Other = 0;
};

} // namespace

TEST_F(BxScreen, MessagesVerbatim) {
    const QByteArray pid = N(static_cast<qulonglong>(getpid()));
    const struct {
        QByteArray script, message;
    } cases[] = {
        {"bx_screen", "wrong # of args: should be \"bx_screen option arg ?arg ...?\""},
        {"bx_screen Key", "bad option \"Key\": must be classname, findwindow, foregroundwindow, "
                          "iskeydown, key or windowtext"},
        {"bx_screen foregroundwindow 1 2",
         "wrong # of args: should be \"bx_screen foregroundwindow ?handle?\""},
        {"bx_screen foregroundwindow x", "bad handle value \"x\""},
        {"bx_screen _foregroundwindow 1 2",
         "wrong # of args: should be \"bx_screen _foregroundwindow ?handle?\""},
        {"bx_screen _foregroundwindow 999999", "unable to set foreground window 999999"},
        {"bx_screen foregroundwindow 999999", "unable to set foreground window 999999"},
        {"bx_screen findwindow", "wrong # of args: should be \"bx_screen findwindow className "
                                 "?windowName?\""},
        {"bx_screen findwindow a b c", "wrong # of args: should be \"bx_screen findwindow "
                                       "className ?windowName?\""},
        {"bx_screen classname", "wrong # of args: should be \"bx_screen classname handle\""},
        {"bx_screen classname 12x", "bad handle value \"12x\""},
        {"bx_screen classname 999999", "unable to get class name (bad handle?)"},
        {"bx_screen windowtext", "wrong # of args: should be \"bx_screen windowtext handle "
                                 "?text?\""},
        {"bx_screen windowtext -1", "bad handle value \"-1\""},
        {"bx_screen windowtext 999999 title", "unable to set window text (bad handle?)"},
        {"bx_screen windowtext 999999", "bad handle value \"999999\""},
        {"bx_screen iskeydown", "wrong # of args: should be \"bx_screen iskeydown keyCode\""},
        {"bx_screen iskeydown nokey", "bad key code: nokey"},
        {"bx_screen key", "wrong # of args: should be \"bx_screen key keyCode1 keyCode2 ...\""},
        {"bx_screen key nokey", "bad key code: nokey"},
        {"bx_screen enumwindows p", "wrong # of args: should be \"bx_screen enumwindows tclProc "
                                    "clientData\""},
        {"bx_screen focus 1 2", "wrong # of args: should be \"bx_screen focus ?handle?\""},
        {"bx_screen focus x", "bad handle value \"x\""},
        {"bx_screen focus 999999", "bad handle value \"999999\""},
        {"bx_screen getthreadid 1 2", "wrong # of args: should be \"bx_screen getthreadid "
                                      "?handle?\""},
        {"bx_screen getthreadid x", "bad handle value \"x\""},
        {"bx_screen getthreadid 999999", "bad handle value \"999999\""},
        {"bx_screen attachthreadinput 5", "wrong # of args: should be \"bx_screen "
                                          "attachthreadinput threadid 1|0\""},
        {"bx_screen attachthreadinput x 1", "bad threadId value \"x\""},
        {"bx_screen attachthreadinput 5 y",
         "bad value \"y\": must be either \"1\" (attach) or \"0\" (detach)"},
        {"bx_screen attachthreadinput " + pid + " 1",
         "threadId cannot be the same as current thread id"},
        {"bx_screen activewindow 1 2", "wrong # of args: should be \"bx_screen activewindow "
                                       "?handle?\""},
        {"bx_screen activewindow x", "bad handle value \"x\""},
        {"bx_screen activewindow 999999", "bad handle value \"999999\""},
        {"bx_screen setwindowtop", "wrong # of args: should be \"bx_screen setwindowtop "
                                   "?handle?\""},
        {"bx_screen setwindowtop 1 2", "wrong # of args: should be \"bx_screen setwindowtop "
                                       "?handle?\""},
        {"bx_screen setwindowtop 999999", "bad handle value \"999999\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script.constData();
    // No argument checked wrongly went on to send keys.
    EXPECT_TRUE(TakeSimKeys().empty());
}

TEST_F(BxScreen, FindsWindowsByClassInstanceAndTitle) {
    const QByteArray notepad = N(Notepad);
    EXPECT_EQ(Ok("bx_screen findwindow Notepad-Test"), notepad);
    EXPECT_EQ(Ok("bx_screen findwindow notepad"), notepad); // the instance name
    EXPECT_EQ(Ok("bx_screen findwindow NOTEPAD-test"), notepad);
    EXPECT_EQ(Ok("bx_screen findwindow Notepad-Test {Shopping list}"), notepad);
    EXPECT_EQ(Ok("bx_screen findwindow {} {Shopping list}"), notepad); // any class
    EXPECT_EQ(Ok("bx_screen findwindow Notepad-Test {shopping list}"), "0");
    EXPECT_EQ(Ok("bx_screen findwindow Other-Test {Shopping list}"), "0");
    EXPECT_EQ(Ok("bx_screen findwindow No-Such-Class"), "0");
    EXPECT_EQ(Ok("bx_screen classname " + notepad), "Notepad-Test");
    EXPECT_EQ(Ok("bx_screen classname " + N(Other)), "Other-Test");
}

TEST_F(BxScreen, WindowTextCrossesInWindows1252) {
    const QByteArray notepad = N(Notepad);
    EXPECT_EQ(Ok("bx_screen windowtext " + notepad), "Shopping list");
    EXPECT_EQ(Ok("bx_screen windowtext " + notepad + " {Caf\xe9 \x80 menu}"), "Caf\xe9 \x80 menu");
    // The desktop holds UTF-8.
    char title[64];
    EXPECT_EQ(BxWindowTitle(Notepad, title, sizeof title), 14);
    EXPECT_STREQ(title, "Caf\xc3\xa9 \xe2\x82\xac menu");
    EXPECT_EQ(Ok("bx_screen findwindow notepad {Caf\xe9 \x80 menu}"), notepad);
    EXPECT_EQ(Ok("bx_screen windowtext " + notepad + " {}"), "");
}

TEST_F(BxScreen, ForegroundFocusAndOwners) {
    EXPECT_EQ(Ok("bx_screen _foregroundwindow " + N(Other)), N(Other));
    EXPECT_EQ(BxFocusWindow(), Other);
    EXPECT_EQ(Ok("bx_screen foregroundwindow " + N(Notepad)), N(Notepad));
    EXPECT_EQ(Ok("bx_screen foregroundwindow"), N(Notepad));
    EXPECT_EQ(Ok("bx_screen focus " + N(Other)), N(Other));
    EXPECT_EQ(Ok("bx_screen focus"), N(Other));

    EXPECT_EQ(Ok("bx_screen getthreadid " + N(Notepad)), "4242");
    EXPECT_EQ(Ok("bx_screen getthreadid"), N(static_cast<qulonglong>(getpid())));
    EXPECT_EQ(Ok("bx_screen attachthreadinput 4242 1"), "");
    EXPECT_EQ(Ok("bx_screen attachthreadinput 4242 0"), "");

    // Only a window of this program is its active window.
    EXPECT_EQ(Ok("bx_screen activewindow " + N(Notepad)), "0");
    EXPECT_EQ(BxFocusWindow(), Notepad);
    const BxHwnd own = BxVirtualCreateWindow(static_cast<uint32_t>(getpid()));
    EXPECT_EQ(Ok("bx_screen activewindow " + N(own)), N(own));
    EXPECT_EQ(Ok("bx_screen activewindow"), N(own));
    EXPECT_EQ(Ok("bx_screen setwindowtop " + N(Other)), "");
}

TEST_F(BxScreen, EnumWindowsStopsAtZeroOrAnError) {
    Ok("set ::seen {}\n"
       "proc seen {h data} { lappend ::seen $h $data; return 1 }\n"
       "proc stopAt {h target} { expr {$h == $target ? 0 : 1} }\n"
       "proc boom {h data} { error \"boom at $h\" }");
    EXPECT_EQ(Ok("bx_screen enumwindows seen {two words}"), "0");
    const QByteArray seen = Ok("set ::seen");
    EXPECT_TRUE(seen.contains(N(Notepad) + " {two words} " + N(Other) + " {two words}"))
        << seen.constData();
    EXPECT_EQ(Ok("bx_screen enumwindows stopAt " + N(Other)), N(Other));
    EXPECT_EQ(Ok("bx_screen enumwindows stopAt 0"), "0"); // no window has the handle 0
    // A failing procedure is a failure, not an answer.
    EXPECT_TRUE(Fails("bx_screen enumwindows boom x").startsWith("boom at "));
}

TEST_F(BxScreen, KeysGoOutThroughSimKeyInOrder) {
    BxVirtualSetFocus(Notepad);
    BxVirtualSetText(Notepad, "");
    EXPECT_EQ(Ok("bx_screen key ctrl+c"), "");
    EXPECT_EQ(TakeSimKeys(),
              (std::vector<uint16_t>{vk::Control, 'C', 'C' | Released, vk::Control | Released}));
    EXPECT_EQ(Ok("bx_screen key Shift+Alt+F1"), "");
    EXPECT_EQ(TakeSimKeys(), (std::vector<uint16_t>{vk::Shift, vk::Menu, 0x70, 0x70 | Released,
                                                    vk::Shift | Released, vk::Menu | Released}));
    // Ctrl+C typed nothing; plain keys type into the focused window.
    EXPECT_EQ(Ok("bx_screen key h i"), "");
    TakeSimKeys();
    char text[16];
    BxVirtualGetText(Notepad, text, sizeof text);
    EXPECT_STREQ(text, "hi");
    // Keys before a bad one are already sent.
    EXPECT_EQ(Fails("bx_screen key a nokey b"), "bad key code: nokey");
    EXPECT_EQ(TakeSimKeys(), (std::vector<uint16_t>{'A', 'A' | Released}));
}

TEST_F(BxScreen, IsKeyDownReadsTheKeyboard) {
    EXPECT_EQ(Ok("bx_screen iskeydown ctrl"), "0");
    BxVirtualKey(vk::Control, 1);
    EXPECT_EQ(Ok("bx_screen iskeydown ctrl"), "1");
    EXPECT_EQ(Ok("bx_screen iskeydown ctrl+c"), "0");
    EXPECT_EQ(Ok("bx_screen iskeydown shift+c"), "0");
    BxVirtualKey('C' | shortcut::Ctrl, 1);
    EXPECT_EQ(Ok("bx_screen iskeydown ctrl+c"), "1");
    EXPECT_EQ(Ok("bx_screen iskeydown c"), "1");
    EXPECT_EQ(Ok("bx_screen iskeydown shift+ctrl+c"), "0");
    BxVirtualKey('C' | shortcut::Ctrl, 0);
    BxVirtualKey(vk::Control, 0);
    EXPECT_EQ(Ok("bx_screen iskeydown ctrl+c"), "0");

    // The locks answer whether they are on, not whether they are held.
    const QByteArray before = Ok("bx_screen iskeydown caps");
    BxVirtualKey(vk::Capital, 1);
    BxVirtualKey(vk::Capital, 0);
    EXPECT_NE(Ok("bx_screen iskeydown caps"), before);
    BxVirtualKey(vk::Capital, 1);
    BxVirtualKey(vk::Capital, 0);
    EXPECT_EQ(Ok("bx_screen iskeydown caps"), before);
    const QByteArray numLock = Ok("bx_screen iskeydown numlock");
    Ok("bx_screen key numlock"); // a lock pressed by a script counts too
    EXPECT_NE(Ok("bx_screen iskeydown numlock"), numLock);
    Ok("bx_screen key numlock");
}

TEST_F(BxScreen, DebugAlwaysSucceedsEmpty) {
    QStringList shown;
    QObject::disconnect(Form->Tcl.get(), &TTclInterface::Message, Form.get(), nullptr);
    QObject::connect(
        Form->Tcl.get(), &TTclInterface::Message,
        [&](TTclInterface::TMessageKind, const QString&, const QString& text) { shown << text; });
    for (const char* script : {"bx_debug", "bx_debug msg", "bx_debug msg {a line}",
                               "bx_debug anything else", "bx_debug socket"})
        EXPECT_EQ(Ok(script), "") << script;
    EXPECT_TRUE(shown.isEmpty()) << "no remote client: nothing to show";
}

TEST_F(BxScreen, DebugSocketShowsTheRemoteClient) {
    Stop();
    Form = NewForm({QStringLiteral("/PORT=0")});
    ASSERT_TRUE(Form->ScriptServer && Form->ScriptServer->IsListening());
    Form->ScriptServer->SetReadiness([] { return true; });
    Form->ScriptServer->MarkStarted(); // the window is never shown here
    QStringList shown;
    QObject::disconnect(Form->Tcl.get(), &TTclInterface::Message, Form.get(), nullptr);
    QObject::connect(Form->Tcl.get(), &TTclInterface::Message,
                     [&](TTclInterface::TMessageKind kind, const QString&, const QString& text) {
                         EXPECT_EQ(kind, TTclInterface::TMessageKind::Information);
                         shown << text;
                     });
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Form->ScriptServer->Port());
    ASSERT_TRUE(SpinUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    socket.write("bx_debug socket");
    ASSERT_TRUE(SpinUntil([&] { return !shown.isEmpty(); }));
    const QString port = QString::number(socket.localPort());
    EXPECT_EQ(shown.value(0),
              QStringLiteral("RemoteHost: 127.0.0.1  LocalHost: 127.0.0.1  Host: 127.0.0.1 "
                             "ClientLocalAddress: 127.0.0.1:%1 ClientRemoteAddress: 127.0.0.1:%2")
                  .arg(Form->ScriptServer->Port())
                  .arg(port));
}
