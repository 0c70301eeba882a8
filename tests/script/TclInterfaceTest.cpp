#include "TclTestSupport.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class TclHost : public testing::Test, public TTclHostFixture {};

TEST_F(TclHost, EvaluatesAndKeepsStateBetweenScripts) {
    Start("proc twice {x} {expr {2 * $x}}");
    ASSERT_TRUE(Tcl.IsLoaded());
    EXPECT_TRUE(Messages.empty());
    ASSERT_TRUE(Tcl.Eval("twice 21"));
    EXPECT_EQ(Tcl.GetResult(), "42");
    ASSERT_TRUE(Tcl.Eval("set kept 7"));
    ASSERT_TRUE(Tcl.Eval("incr kept"));
    EXPECT_EQ(Tcl.GetResult(), "8");
}

// Only the error code counts as failure; line ends in results become CR LF.
TEST_F(TclHost, ResultsAndFailures) {
    Start();
    struct {
        const char* Script;
        bool Ok;
        const char* Result;
    } cases[] = {{"return x", true, "x"},
                 {"return \"a\\nb\\r\\nc\\r\"", true, "a\r\nb\r\nc"},
                 {"set a 1; return", true, ""},
                 {"error boom", false, "boom"},
                 {"return -code error zz", false, "zz"},
                 {"nosuchcommand", false, "invalid command name \"nosuchcommand\""}};
    for (const auto& c : cases) {
        EXPECT_EQ(Tcl.Eval(c.Script), c.Ok) << c.Script;
        EXPECT_EQ(Tcl.GetResult(), c.Result) << c.Script;
    }
}

TEST_F(TclHost, FailureTextCarriesTheStackTrace) {
    Start("proc inner {} {error boom}\nproc outer {} {inner}");
    ASSERT_FALSE(Tcl.Eval("outer"));
    const QByteArray text = Tcl.GetFailureText();
    EXPECT_TRUE(text.startsWith("boom\r\nSTACK TRACE:\r\nboom\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\"inner\"")) << text.constData();
    EXPECT_TRUE(text.contains("\"outer\"")) << text.constData();
    EXPECT_FALSE(text.contains("\n\n"));
}

TEST_F(TclHost, Windows1252TextRoundTripsThroughTcl) {
    Start();
    ASSERT_TRUE(Tcl.Eval("set w \"caf\xe9 \x80\""));
    EXPECT_EQ(Tcl.GetResult(), "caf\xe9 \x80");
    ASSERT_TRUE(Tcl.Eval("string length $w"));
    EXPECT_EQ(Tcl.GetResult(), "6");
    EXPECT_EQ(Tcl.GetVar("w"), "caf\xe9 \x80");
}

TEST_F(TclHost, CommandsRegisteredBeforeCreationServeTheStartupScript) {
    Tcl.CreateCommand("bx_echo",
                      [](TTclInterface&, const QList<QByteArray>& argv, QByteArray& result) {
                          result = argv.join('|');
                          return TTclInterface::TclOk;
                      });
    Start("set fromStartup [bx_echo a \"b c\" \xe9]");
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Tcl.GetVar("fromStartup"), "bx_echo|a|b c|\xe9");
}

TEST_F(TclHost, CommandErrorsAndExceptionsBecomeTclErrors) {
    Start();
    Tcl.CreateCommand("bx_fail",
                      [](TTclInterface&, const QList<QByteArray>& argv, QByteArray& result) {
                          if (argv.value(1) == "brevix")
                              throw EBrevix(QStringLiteral("Error writing to file"));
                          if (argv.value(1) == "other") throw 42;
                          result = "bad option";
                          return TTclInterface::TclError;
                      });
    struct {
        const char* Script;
        const char* Result;
    } cases[] = {{"bx_fail", "bad option"},
                 {"bx_fail brevix", "Error writing to file"},
                 {"bx_fail other", "*** Uncaught exception occurred"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(Tcl.Eval(c.Script)) << c.Script;
        EXPECT_EQ(Tcl.GetResult(), c.Result) << c.Script;
    }
    // Replacing a handler takes effect at once.
    Tcl.CreateCommand("bx_fail", [](TTclInterface&, const QList<QByteArray>&, QByteArray& r) {
        r = "fine";
        return TTclInterface::TclOk;
    });
    ASSERT_TRUE(Tcl.Eval("bx_fail"));
    EXPECT_EQ(Tcl.GetResult(), "fine");
}

TEST_F(TclHost, RunOpensTheFileWithItsParameters) {
    QString openedFile;
    QStringList openedParams;
    bool succeed = true;
    Tcl.SetShellOpen([&](const QString& file, const QStringList& params) {
        openedFile = file;
        openedParams = params;
        return succeed;
    });
    Start();
    ASSERT_TRUE(Tcl.Eval("run"));
    EXPECT_EQ(Tcl.GetResult(), "");
    EXPECT_TRUE(openedFile.isEmpty());

    ASSERT_TRUE(Tcl.Eval("run /usr/bin/prog a b"));
    EXPECT_EQ(openedFile, QStringLiteral("/usr/bin/prog"));
    EXPECT_EQ(openedParams, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    succeed = false;
    ASSERT_FALSE(Tcl.Eval("run missing.exe"));
    EXPECT_TRUE(Tcl.GetResult().startsWith("Unable to find the file \"missing.exe\""));
}

TEST_F(TclHost, DefaultRunReportsAMissingFile) {
    Start();
    ASSERT_FALSE(Tcl.Eval("run /nonexistent/brevix-test-program"));
    EXPECT_TRUE(Tcl.GetResult().startsWith("Unable to find the file \"/nonexistent/"));
}

TEST_F(TclHost, TclInitCommand) {
    Start();
    ASSERT_FALSE(Tcl.Eval("Tcl_Init x"));
    EXPECT_EQ(Tcl.GetResult(), "wrong # of args: should be \"Tcl_Init\"");
    // The installed library finds its own script folder.
    EXPECT_TRUE(Tcl.Eval("Tcl_Init")) << Tcl.GetResult().constData();
    EXPECT_TRUE(Tcl.Eval("info commands parray"));
}

TEST_F(TclHost, LibPathIsSetBeforeTclInit) {
    WriteFile(ConfigFile("Brevixo.tcl"), "");
    Tcl.Create(TTclConfig{QStringLiteral("libtcl8.6.so"), QStringLiteral("C:/Tcl/lib")},
               ConfigDir(), ProgramDir.path());
    ASSERT_TRUE(Tcl.IsLoaded());
    EXPECT_EQ(Tcl.GetVar("tcl_library"), "C:/Tcl/lib");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Kind, TTclInterface::TMessageKind::Information);
    EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("init.tcl")))
        << Messages[0].Text.toStdString();
}

TEST_F(TclHost, StartupScriptInConfigDirWinsOverProgramFolder) {
    WriteFile(ProgramDir.filePath(QStringLiteral("Brevixo.tcl")), "set from program");
    Start("set from config");
    EXPECT_EQ(Tcl.GetVar("from"), "config");

    TTclInterface second;
    QTemporaryDir emptyConfig;
    second.Create(TTclConfig{QStringLiteral("libtcl8.6.so"), QString()}, emptyConfig.path(),
                  ProgramDir.path());
    EXPECT_EQ(second.GetVar("from"), "program");
}

TEST_F(TclHost, StartupScriptProblemsAreReportedWithTheTrace) {
    struct {
        bool Exists;
        QByteArray Script;
        const char* Expect;
    } cases[] = {{true, "proc p {} {error startupboom}\np", "startupboom"},
                 {false, "", "couldn't read file"}};
    for (const auto& c : cases) {
        QTemporaryDir config, program;
        const QString file = program.filePath(QStringLiteral("Brevixo.tcl"));
        if (c.Exists) WriteFile(file, c.Script);
        Messages.clear();
        Tcl.Create(TTclConfig{QStringLiteral("libtcl8.6.so"), QString()}, config.path(),
                   program.path());
        ASSERT_TRUE(Tcl.IsLoaded());
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Kind, TTclInterface::TMessageKind::Information);
        const QString& text = Messages[0].Text;
        EXPECT_TRUE(text.contains(file) && text.contains(QString::fromLatin1(c.Expect)))
            << text.toStdString();
    }
}

TEST_F(TclHost, CommandLineScript) {
    Start();
    const QString good = ConfigFile("good.tcl"), bad = ConfigFile("bad.tcl");
    WriteFile(good, "set ranFromCommandLine yes");
    WriteFile(bad, "error cmdlineboom");
    Tcl.RunCommandLineScript(good);
    EXPECT_EQ(Tcl.GetVar("ranFromCommandLine"), "yes");
    EXPECT_TRUE(Messages.empty());
    Tcl.RunCommandLineScript(bad);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Text.contains(bad + QStringLiteral("\r\ncmdlineboom")))
        << Messages[0].Text.toStdString();
}

TEST_F(TclHost, BusyCountFollowsNestedEvaluations) {
    std::vector<int> seen;
    QObject::connect(&Tcl, &TTclInterface::BusyChanged, [&](int n) { seen.push_back(n); });
    Start();
    seen.clear();
    Tcl.CreateCommand("bx_nest", [](TTclInterface& tcl, const QList<QByteArray>&, QByteArray& r) {
        r = QByteArray::number(tcl.BusyCount());
        if (tcl.BusyCount() == 1 && tcl.Eval("bx_nest")) r += "," + tcl.GetResult();
        return TTclInterface::TclOk;
    });
    EXPECT_FALSE(Tcl.IsBusy());
    ASSERT_TRUE(Tcl.Eval("bx_nest"));
    EXPECT_EQ(Tcl.GetResult(), "1,2");
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1, 0}));
    EXPECT_FALSE(Tcl.IsBusy());
    // The close command's 0x4D1 / 0x4D2 pair; never below zero.
    Tcl.BusyUp();
    EXPECT_TRUE(Tcl.IsBusy());
    Tcl.BusyDown();
    Tcl.BusyDown();
    EXPECT_EQ(Tcl.BusyCount(), 0);
}

// Tcl's own exit would end the process on the spot, nothing saved. Here
// every spelling of it asks the program to close once the event loop runs,
// the busy count raised meanwhile so that the close is not confirmed.
TEST_F(TclHost, ExitAsksTheProgramToCloseInsteadOfEndingTheProcess) {
    std::vector<int> busyWhenAsked;
    QObject::connect(&Tcl, &TTclInterface::ExitRequested,
                     [&] { busyWhenAsked.push_back(Tcl.BusyCount()); });
    Start("set before 1; exit 3; set after 1");
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Tcl.GetVar("after"), "1") << "the script runs to its end";
    ASSERT_TRUE(Tcl.Eval("::exit"));
    ASSERT_TRUE(Tcl.Eval("rename exit quit; quit 0"));
    EXPECT_FALSE(Tcl.Eval("quit 1 2"));
    EXPECT_TRUE(busyWhenAsked.empty());
    EXPECT_TRUE(Tcl.IsBusy());
    QCoreApplication::processEvents();
    EXPECT_EQ(busyWhenAsked, (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(Tcl.IsBusy());
}

TEST_F(TclHost, ListHelpers) {
    Start();
    QList<QByteArray> items;
    ASSERT_TRUE(Tcl.SplitList("a {b c} \xe9", &items));
    EXPECT_EQ(items, (QList<QByteArray>{"a", "b c", "\xe9"}));
    QByteArray error;
    EXPECT_FALSE(Tcl.SplitList("{a", &items, &error));
    EXPECT_EQ(error, "unmatched open brace in list");
    EXPECT_EQ(Tcl.Merge({"a b", "c", ""}), "{a b} c {}");
}

TEST(TclHostWithoutLibrary, WarnsOnceAndRunsWithoutScripting) {
    struct {
        const char* Library;
        const char* Detail;
    } cases[] = {{"libbrevix-no-such-tcl.so", "libbrevix-no-such-tcl.so"},
                 {"libm.so.6", "Unable to find function Tcl_CreateInterp in libm.so.6"}};
    for (const auto& c : cases) {
        TTclHostFixture host;
        const QString name = QString::fromLatin1(c.Library);
        host.Tcl.Create(TTclConfig{name, QString()}, host.ConfigDir(), host.ProgramDir.path());
        ASSERT_EQ(host.Messages.size(), 1u) << c.Library;
        EXPECT_EQ(host.Messages[0].Kind, TTclInterface::TMessageKind::Warning);
        EXPECT_TRUE(host.Messages[0].Text.contains(name));
        EXPECT_TRUE(host.Tcl.LoadDetail().contains(QString::fromLatin1(c.Detail)))
            << host.Tcl.LoadDetail().toStdString();
        EXPECT_FALSE(host.Tcl.IsLoaded());
        EXPECT_FALSE(host.Tcl.Eval("set a 1"));
        EXPECT_FALSE(host.Tcl.EvalFile(QStringLiteral("/tmp/x.tcl")));
        EXPECT_EQ(host.Tcl.GetResult(), "");
        EXPECT_EQ(host.Tcl.GetErrorInfo(), "*** ERROR: Could not load " + name.toLatin1());
        EXPECT_TRUE(host.Tcl.CreateCommand("bx_list", nullptr));
        EXPECT_FALSE(host.Tcl.SplitList("a b", nullptr));
        host.Tcl.RunCommandLineScript(QStringLiteral("/tmp/x.tcl"));
        EXPECT_EQ(host.Messages.size(), 1u);
    }
}

} // namespace
