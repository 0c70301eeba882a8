// bx_window on a real main window.
#include "BxFixture.h"

#include "script/BxCommands.h"

#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>

using BxWindow = BxFixture;

TEST_F(BxWindow, MessagesVerbatim) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"bx_window", "wrong # of args: should be \"bx_window option arg ?arg ...?\""},
        {"bx_window Show", "bad option \"Show\": must be cfgdir, exename, exedir, exit, handle, "
                           "pause, refresh or show "},
        {"bx_window show 1 2", "wrong # of args: should be \"bx_window show ?1|0?\""},
        {"bx_window show yes", "bad value \"yes\": must be either \"1\" (show) or \"0\" (hide)"},
        {"bx_window exename x", "\"bx_window exename\" does not expect any arguments."},
        {"bx_window exedir x", "\"bx_window exedir\" does not expect any arguments."},
        {"bx_window cfgdir x", "\"bx_file cfgdir\" does not expect any arguments."},
        {"bx_window exit now", "\"bx_file exit\" does not expect any arguments."},
        {"bx_window pause 1 2", "wrong # of args: should be \"bx_window pause ?milliseconds?\""},
        {"bx_window pause 0", "bad value \"0\": must be a number greater than 0"},
        {"bx_window pause -5", "bad value \"-5\": must be a number greater than 0"},
        {"bx_window pause soon", "bad value \"soon\": must be a number greater than 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script;
    // The usage names the command as the script called it.
    Ok("rename bx_window win");
    EXPECT_EQ(Fails("win"), "wrong # of args: should be \"win option arg ?arg ...?\"");
    Ok("rename win bx_window");
}

TEST_F(BxWindow, HandlesAndFolders) {
    const QByteArray main = QByteArray::number(Form->Handle());
    EXPECT_NE(Form->Handle(), 0u);
    EXPECT_EQ(Ok("bx_window main_handle"), main);
    EXPECT_EQ(Ok("bx_window handle"), main);
    bool number = false;
    Ok("bx_window active_handle").toULongLong(&number);
    EXPECT_TRUE(number);
    EXPECT_EQ(Ok("bx_window exename"), QCoreApplication::applicationFilePath().toUtf8());
    EXPECT_EQ(Ok("bx_window exedir"), QCoreApplication::applicationDirPath().toUtf8());
    EXPECT_EQ(Ok("bx_window cfgdir"), QDir::fromNativeSeparators(Form->ConfigDir).toUtf8());
    EXPECT_EQ(Ok("bx_window activate"), "");
    EXPECT_EQ(Ok("bx_window pause; bx_window pause 20"), "");
}

TEST_F(BxWindow, ShowAndHide) {
    EXPECT_EQ(Ok("bx_window show 1"), "1");
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Ok("bx_window show"), "1");
    EXPECT_EQ(Ok("bx_window show 0"), "0");
    // The Hide button is pressed once the script has returned.
    EXPECT_TRUE(SpinUntil([&] { return !Form->isVisible() || Form->isMinimized(); }));
    EXPECT_EQ(Ok("bx_window show"), "0");
    EXPECT_EQ(Ok("bx_window show 7"), "1");
    EXPECT_TRUE(Form->isVisible() && !Form->isMinimized());

    // While a file shortcut runs, the request is kept for it. Registered
    // anew to reach the commands' state.
    TBxCommandState& state = RegisterWindowFileListCommands(*Form->Tcl, *Form->ScriptHost);
    EXPECT_FALSE(state.TakeShowRequest());
    state.FileShortcutRunning = [] { return true; };
    Ok("bx_window show 1");
    EXPECT_TRUE(state.TakeShowRequest());
    EXPECT_FALSE(state.TakeShowRequest());
}

TEST_F(BxWindow, RefreshRedisplaysKeepingTheRow) {
    Form->ShowEntry(1);
    auto* item = new TDictionaryItem;
    item->SetKeyword("zzz");
    Form->Session.Dict().Add(item);
    Form->Session.Dict().GetItem(1)->SetText("changed behind the grid");
    EXPECT_EQ(Ok("bx_window refresh"), "");
    EXPECT_EQ(Form->Grid->verticalHeader()->count(), 4);
    EXPECT_EQ(Form->CurrentRow(), 1);
    EXPECT_EQ(Form->Memo1->toPlainText(), QStringLiteral("changed behind the grid"));
}

TEST_F(BxWindow, ExitClosesWithoutQuestionsAndSaves) {
    bool closed = false;
    QObject::connect(Form.get(), &TMainForm::Closed, [&] { closed = true; });
    // A confirmation box would be a failure: the watchdog counts and closes it.
    Form->Settings.Set(goNoConfirmExit, false);
    int boxes = 0;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++boxes;
            modal->close();
        }
    });
    watchdog.start(20);
    Ok("bx_list add parting words");
    EXPECT_EQ(Ok("bx_window exit"), "");
    EXPECT_EQ(Form->Tcl->BusyCount(), 1); // raised until the close has run
    EXPECT_TRUE(SpinUntil([&] { return closed && Form->Tcl->BusyCount() == 0; }));
    EXPECT_EQ(boxes, 0);
    EXPECT_TRUE(Asked.isEmpty()); // saved without asking, as while a script runs
    EXPECT_EQ(EntryCount(P("one.bxd")), 4);
}
