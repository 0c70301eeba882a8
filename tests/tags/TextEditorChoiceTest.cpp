// Which editor "Run Notepad" starts: the desktop's default for plain text
// through its desktop file, $VISUAL and $EDITOR, the known editors, and a
// terminal for editors that need one. Nothing is started for real.
#include "tags/TextEditorChoice.h"

#include <QHash>
#include <gtest/gtest.h>

namespace {
struct TFakeDesktop {
    QHash<QString, QString> env;
    QString defaultApp;
    QHash<QString, QByteArray> desktopFiles;
    QStringList programs; // found on PATH as /usr/bin/<name>
    QList<TEditorCommand> started;
    QStringList folders;
    int failing = 0; // the first n starts fail

    TEditorDesktop Desktop() {
        TEditorDesktop d;
        d.Environment = [this](const char* n) { return env.value(QString::fromLatin1(n)); };
        d.DefaultTextApplication = [this] { return defaultApp; };
        d.DesktopFile = [this](const QString& id) { return desktopFiles.value(id); };
        d.FindProgram = [this](const QString& p) {
            return programs.contains(p) ? "/usr/bin/" + p : QString();
        };
        d.Start = [this](const TEditorCommand& c, const QString& folder) {
            started << c;
            folders << folder;
            return failing-- <= 0;
        };
        return d;
    }
};

TEditorCommand Cmd(const QString& program, const QStringList& args) {
    return {"/usr/bin/" + program, args};
}
const QString kFile = "/home/u/dicts/notes.txt";
} // namespace

TEST(TextEditorChoice, DesktopDefaultComesFirstWithItsFieldCodes) {
    TFakeDesktop f;
    f.programs = {"gedit", "mousepad"};
    f.defaultApp = "org.gnome.gedit.desktop";
    f.desktopFiles["org.gnome.gedit.desktop"] = "[Desktop Action new]\nExec=gedit --new-window\n"
                                                "[Desktop Entry]\nName=Text Editor\n"
                                                "Exec=gedit --name %c --icon %i %U\n";
    const auto commands = TextEditorChoice::Commands(kFile, f.Desktop());
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[0], Cmd("gedit", {"--name", "--icon", kFile}));
    // The known editors after it, as they are (the same program plainly too).
    EXPECT_EQ(commands[1], Cmd("gedit", {kFile}));
    EXPECT_EQ(commands[2], Cmd("mousepad", {kFile}));
}

TEST(TextEditorChoice, ExecWithoutAFieldCodeGetsTheFileAtTheEnd) {
    TFakeDesktop f;
    f.programs = {"ed"};
    EXPECT_EQ(
        TextEditorChoice::FromDesktopFile("[Desktop Entry]\nExec=ed -p%%\n", kFile, f.Desktop()),
        Cmd("ed", {"-p%", kFile}));
    // A program that is not there, or no Exec line at all: nothing.
    EXPECT_EQ(
        TextEditorChoice::FromDesktopFile("[Desktop Entry]\nExec=missing %f\n", kFile, f.Desktop()),
        TEditorCommand{});
    EXPECT_EQ(TextEditorChoice::FromDesktopFile("[Desktop Entry]\nName=x\n", kFile, f.Desktop()),
              TEditorCommand{});
}

TEST(TextEditorChoice, TerminalEditorsRunInATerminal) {
    TFakeDesktop f;
    f.programs = {"vim", "nano", "xterm", "kate"};
    f.env["VISUAL"] = "vim -n";
    f.env["EDITOR"] = "kate"; // a windowed editor runs by itself
    f.defaultApp = "vim.desktop";
    f.desktopFiles["vim.desktop"] = "[Desktop Entry]\nExec=vim %F\nTerminal=true\n";
    const auto commands = TextEditorChoice::Commands(kFile, f.Desktop());
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[0], Cmd("xterm", {"-e", "/usr/bin/vim", kFile}));
    EXPECT_EQ(commands[1], Cmd("xterm", {"-e", "/usr/bin/vim", "-n", kFile}));
    EXPECT_EQ(commands[2], Cmd("kate", {kFile})); // $EDITOR and the known list: once
    // $TERMINAL is preferred; without any terminal a terminal editor is left out.
    f.programs << "foot";
    f.env["TERMINAL"] = "foot";
    EXPECT_EQ(TextEditorChoice::Commands(kFile, f.Desktop())[0],
              Cmd("foot", {"-e", "/usr/bin/vim", kFile}));
    f.programs = {"vim"};
    EXPECT_TRUE(TextEditorChoice::Commands(kFile, f.Desktop()).isEmpty());
    // A windowed editor that is not among the ones tried still runs by itself.
    f.programs = {"gvim", "xterm"};
    f.env["VISUAL"] = "gvim -f";
    EXPECT_EQ(TextEditorChoice::Commands(kFile, f.Desktop()),
              (QList<TEditorCommand>{Cmd("gvim", {"-f", kFile})}));
}

TEST(TextEditorChoice, OpenTriesEachInTurnInTheDictionaryFolder) {
    TFakeDesktop f;
    f.programs = {"gedit", "kate"};
    f.failing = 1;
    EXPECT_TRUE(TextEditorChoice::Open(kFile, "/home/u/dicts", f.Desktop()));
    EXPECT_EQ(f.started, (QList<TEditorCommand>{Cmd("gedit", {kFile}), Cmd("kate", {kFile})}));
    EXPECT_EQ(f.folders, (QStringList{"/home/u/dicts", "/home/u/dicts"}));
    // No file named: the editor starts on an empty text.
    f.started.clear();
    EXPECT_TRUE(TextEditorChoice::Open(QString(), "/tmp", f.Desktop()));
    EXPECT_EQ(f.started.first(), Cmd("gedit", {}));
    // Nothing to start: false, for the message.
    TFakeDesktop none;
    EXPECT_FALSE(TextEditorChoice::Open(kFile, "/tmp", none.Desktop()));
    EXPECT_TRUE(none.started.isEmpty());
    f.failing = 5;
    f.started.clear();
    EXPECT_FALSE(TextEditorChoice::Open(kFile, "/tmp", f.Desktop()));
    EXPECT_EQ(f.started.size(), 2);
}
