// File shortcut rules: the command-line split, the captions and what running
// a shortcut does with each kind of target.
#include "shell/FileShortcuts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TSplitCase {
    const char* text;
    const char* file;
    const char* params;
};

TEST(SplitFileCommand, SplitsAtFirstBlankOutsideQuotes) {
    const TSplitCase cases[] = {
        {"/usr/bin/gedit", "/usr/bin/gedit", ""},
        {"gedit notes.txt", "gedit", "notes.txt"},
        {"gedit  two  blanks", "gedit", " two  blanks"},
        {"\"/home/u/My Dicts/work.bxd\"", "/home/u/My Dicts/work.bxd", ""},
        {"\"/opt/my app/run\" -x \"a b\"", "/opt/my app/run", "-x \"a b\""},
        {"/a/b\"c d\"e f", "/a/bc de", "f"},
        {"\"unterminated quote x", "unterminated quote x", ""},
        {"", "", ""},
    };
    for (const TSplitCase& c : cases) {
        const TSplitCommand r = SplitFileCommand(QString::fromUtf8(c.text));
        EXPECT_EQ(r.File, QString::fromUtf8(c.file)) << c.text;
        EXPECT_EQ(r.Params, QString::fromUtf8(c.params)) << c.text;
    }
}

TEST(ShortcutCaptions, MenuAndDefaultDescription) {
    struct TCase {
        const char* name;
        const char* caption;
        const char* menu;
    } const cases[] = {
        {"C:\\Tools\\app.exe /x", "", "app.exe/x"},
        {"/usr/bin/gedit /tmp/a.txt", "", "gedit/tmp/a.txt"},
        {"  /home/u/work.bxd  ", "  ", "work.bxd"},
        {"/home/u/work.bxd", "  Work  ", "Work"},
        {"plain", "", "plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutMenuCaption(QString::fromUtf8(c.name), QString::fromUtf8(c.caption)),
                  QString::fromUtf8(c.menu))
            << c.name;

    EXPECT_EQ(DefaultShortcutDescription(QStringLiteral("C:\\Tools\\app.exe /x")),
              QStringLiteral("app.exe"));
    EXPECT_EQ(DefaultShortcutDescription(QStringLiteral("/home/u/notes.tcl")),
              QStringLiteral("notes.tcl"));
    EXPECT_EQ(DefaultShortcutDescription(QString()), QString());
}

TEST(FileShortcutList, ParallelListsAndFirstMatch) {
    // Lists of unequal length, as a hand-edited settings file may give.
    const auto list = TFileShortcutList::FromLists(
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {QStringLiteral("A")},
        {0x70, 0x71});
    ASSERT_EQ(list.Items.size(), 3);
    EXPECT_EQ(list.Items[1].Caption, QString());
    EXPECT_EQ(list.Items[2].Code, 0);

    auto dup = TFileShortcutList::FromLists({QStringLiteral("first"), QStringLiteral("second")}, {},
                                            {0x4070, 0x4070});
    EXPECT_EQ(dup.IndexOfCode(0x4070), 0);
    EXPECT_EQ(dup.IndexOfCode(0x70), -1);
    EXPECT_EQ(list.IndexOfCode(0), -1); // code 0 never fires, even for an item with 0

    QStringList names, captions;
    std::vector<uint16_t> codes;
    list.ToLists(names, captions, codes);
    EXPECT_EQ(names.size(), 3);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("A"), QString(), QString()}));
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x70, 0x71, 0}));
}

// Records every action; each one answers as told.
class TRecordingActions : public TFileShortcutActions {
public:
    QStringList Log;
    QStringList Infos, Errors;
    bool TclOk = true, DocumentOk = true, ProgramOk = true;
    QString Program; // what FindProgram answers

    void OpenDictionary(const QString& p) override { Log << "dict:" + p; }
    bool RunTclFile(const QString& f, QByteArray& info) override {
        Log << "tcl:" + f;
        if (!TclOk) info = "invalid command name \"oops\"\r\n    while executing\r\n\"oops\"";
        return TclOk;
    }
    bool OpenDocument(const QString& f, const QString& params) override {
        Log << "doc:" + f + "|" + params;
        return DocumentOk;
    }
    bool StartProgram(const QString& p, const QStringList& args) override {
        Log << "run:" + p + "|" + args.join(u',');
        return ProgramOk;
    }
    void ShowInformation(const QString& t) override { Infos << t; }
    void ShowError(const QString& t) override { Errors << t; }
    QString FindProgram(const QString& file) const override {
        return Program.isEmpty() ? QString() : Program + "=" + file;
    }
};

TFileShortcutList One(const QString& name, uint16_t code = 0x77) {
    return TFileShortcutList::FromLists({name}, {}, {code});
}

TEST(RunFileShortcut, NothingForUnknownCodeOrEmptyText) {
    TRecordingActions a;
    EXPECT_FALSE(RunFileShortcut(One(QStringLiteral("x.bxd")), 0x78, a));
    EXPECT_FALSE(RunFileShortcut(One(QStringLiteral("x.bxd"), 0), 0, a));
    EXPECT_FALSE(RunFileShortcut(One(QStringLiteral("   ")), 0x77, a));
    EXPECT_TRUE(a.Log.isEmpty());
    EXPECT_TRUE(a.Errors.isEmpty());
}

TEST(RunFileShortcut, EachKindOfTarget) {
    const QString rel = QDir::current().absoluteFilePath("rel.bxd");
    const struct {
        QString name;
        char fails; // the action that fails: Tcl, Document or Program
        QString program, log;
        bool ran;
        QString error, info; // parts of the one message shown, if any
    } cases[] = {
        // Dictionaries open by full path and start nothing.
        {"\"/home/u/My Dicts/Work.BxD\" x", 0, "", "dict:/home/u/My Dicts/Work.BxD", false},
        {"rel.bxd", 0, "", "dict:" + rel, false},
        {"/s/go.TCL", 0, "", "tcl:/s/go.TCL", true},
        {"/s/go.tcl", 'T', "", "tcl:/s/go.tcl", false, "",
         "/s/go.tcl\r\nSTACK TRACE:\r\ninvalid command name \"oops\""},
        {"gedit \"/tmp/my notes.txt\" -s", 0, "/usr/bin", "run:/usr/bin=gedit|/tmp/my notes.txt,-s",
         true},
        {"/tmp/report.pdf", 0, "", "doc:/tmp/report.pdf|", true},
        {"/tmp/nothing.doc", 'D', "", "doc:/tmp/nothing.doc|", false,
         "could not launch\r\n\"/tmp/nothing.doc\""},
        // An unquoted name with a blank: the hint shows it quoted.
        {"/tmp/My Files/x.doc", 'D', "", "doc:/tmp/My|Files/x.doc", false,
         "could not launch\r\n\"/tmp/My\"", "\"/tmp/My Files/x.doc\""},
        {"tool", 'P', "/bin", "run:/bin=tool|", false, "could not launch\r\n\"tool\""},
    };
    for (const auto& c : cases) {
        TRecordingActions a;
        a.TclOk = c.fails != 'T';
        a.DocumentOk = c.fails != 'D';
        a.ProgramOk = c.fails != 'P';
        a.Program = c.program;
        const std::string what = c.name.toStdString();
        EXPECT_EQ(RunFileShortcut(One(c.name), 0x77, a), c.ran) << what;
        EXPECT_EQ(a.Log, QStringList{c.log}) << what;
        for (const auto& [shown, part] : {std::pair{a.Errors, c.error}, {a.Infos, c.info}}) {
            EXPECT_EQ(shown.size(), part.isEmpty() ? 0 : 1) << what;
            if (!part.isEmpty() && !shown.isEmpty()) EXPECT_TRUE(shown[0].contains(part)) << what;
        }
    }
}

TEST(FindProgram, ExecutablesAreProgramsOtherFilesAreNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString exe = dir.filePath(QStringLiteral("tool"));
    const QString doc = dir.filePath(QStringLiteral("notes.txt"));
    for (const QString& path : {exe, doc}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
    }
    QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);

    struct TPlain : TFileShortcutActions {
        void OpenDictionary(const QString&) override {}
        bool RunTclFile(const QString&, QByteArray&) override { return false; }
        bool OpenDocument(const QString&, const QString&) override { return false; }
        bool StartProgram(const QString&, const QStringList&) override { return false; }
        void ShowInformation(const QString&) override {}
        void ShowError(const QString&) override {}
    } plain;
    EXPECT_EQ(plain.FindProgram(exe), exe);
    EXPECT_EQ(plain.FindProgram(doc), QString());
    EXPECT_EQ(plain.FindProgram(dir.path()), QString());             // a folder opens as a document
    EXPECT_FALSE(plain.FindProgram(QStringLiteral("sh")).isEmpty()); // found on PATH
    EXPECT_EQ(plain.FindProgram(QStringLiteral("no-such-program-xyz")), QString());
    EXPECT_FALSE(DesktopOpenDocument(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(DesktopStartProgram(QString(), {}));
}

} // namespace
