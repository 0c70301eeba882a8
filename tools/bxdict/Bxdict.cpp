#include "tools/bxdict/Bxdict.h"

#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "tools/bxdict/EntryLines.h"
#include "tools/bxdict/JsonLine.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace Bxdict {
namespace {

const char* const kHelp = R"HELP(Usage: bxdict COMMAND ARGUMENTS

Reads and writes Brevix dictionary files (.bxd, versions 5 to 7; always
written as version 7). Text is converted between Windows-1252 in the file
and UTF-8 on the command line.

Commands:
  dump FILE             One JSON object per line per entry, in dictionary
                        order: {"keyword","description","text","shortcut",
                        "flags"}; shortcut and flags are integers.
  info FILE             One JSON object: {"version","flags","info" (the
                        three info lines),"name" (stored file name),
                        "entries"}.
  check FILE            Reads the whole file; says what is wrong and at which
                        byte offset reading stopped.
  new FILE [--info TEXT]...
  create FILE [--info TEXT]...
                        Reads JSON Lines in the dump format from standard
                        input ("keyword" and "text" required, the others
                        optional) and writes a version-7 dictionary. Up to
                        three --info options set the info lines. Duplicate
                        keywords and characters outside Windows-1252 are
                        refused with the line number; nothing is written then.
  convert FILE OUTFILE  Reads any version and writes it as version 7.
  --help                This text.

Exit status:
  0  success
  1  the file header is refused: "Unrecognized file header (you may need a
     newer version of Brevix)" on standard error (every command)
  2  the entry data is damaged: reading stopped before the end of the file
     (dump, info and convert still output what was read before the damage)
  3  any other failure: bad usage, unreadable or unwritable file, refused input
)HELP";

class TCommand {
public:
    TCommand(QIODevice& in, QIODevice& out, QIODevice& err) : in_(in), out_(out), err_(err) {}

    int Dispatch(const QStringList& args) {
        if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
            out_.write(kHelp);
            return args.isEmpty() ? kFailed : kOk;
        }
        const QString cmd = args[0];
        const QStringList rest = args.mid(1);
        try {
            if (cmd == "dump" && rest.size() == 1) return Dump(rest[0]);
            if (cmd == "info" && rest.size() == 1) return Info(rest[0]);
            if (cmd == "check" && rest.size() == 1) return Check(rest[0]);
            if ((cmd == "new" || cmd == "create") && !rest.isEmpty()) return New(rest);
            if (cmd == "convert" && rest.size() == 2) return Convert(rest[0], rest[1]);
        } catch (const EBrevix& e) {
            return Fail(e.Message(), kFailed);
        }
        return Fail(QStringLiteral("bad usage; see bxdict --help"), kFailed);
    }

private:
    int Fail(const QString& message, int code) {
        err_.write("bxdict: " + message.toUtf8() + '\n');
        return code;
    }

    // Loads a whole file. Returns kOk, or the exit code after reporting.
    int Load(const QString& path, TDictionaryList& list, TLoadResult& result) {
        QFile file;
        QString error;
        if (!SafeFile::OpenForReading(path, file, &error)) return Fail(error, kFailed);
        try {
            result = list.LoadFromStream(file, 0, false, nullptr, nullptr, true);
        } catch (const EBrevix& e) {
            return Fail(e.Message(), kBadHeader);
        }
        return kOk;
    }

    int Damage(const QString& path, const TLoadResult& r) {
        if (r.complete) return kOk;
        return Fail(QStringLiteral("%1: reading stopped at byte offset %2: %3")
                        .arg(path)
                        .arg(r.stopOffset)
                        .arg(r.stopReason),
                    kDamaged);
    }

    int Dump(const QString& path) {
        TDictionaryList list;
        TLoadResult r;
        if (int code = Load(path, list, r)) return code;
        for (int i = 0; i < list.Count(); ++i) {
            const TDictionaryItem& e = *list.GetItem(i);
            out_.write(TJsonLine()
                           .Add("keyword", Ansi::ToUnicode(e.GetKeyword()))
                           .Add("description", Ansi::ToUnicode(e.GetDescription()))
                           .Add("text", Ansi::ToUnicode(e.GetText()))
                           .Add("shortcut", e.GetShortcut())
                           .Add("flags", e.GetFlags())
                           .Finish());
        }
        return Damage(path, r);
    }

    int Info(const QString& path) {
        TDictionaryList list;
        TLoadResult r;
        if (int code = Load(path, list, r)) return code;
        QByteArray l1, l2, l3;
        list.GetInfoLines(l1, l2, l3);
        out_.write(TJsonLine()
                       .Add("version", list.Header.Version())
                       .Add("flags", list.Header.Flags())
                       .Add("info", QStringList{Ansi::ToUnicode(l1), Ansi::ToUnicode(l2),
                                                Ansi::ToUnicode(l3)})
                       .Add("name", Ansi::ToUnicode(list.GetStoredFileName()))
                       .Add("entries", list.Count())
                       .Finish());
        return Damage(path, r);
    }

    int Check(const QString& path) {
        TDictionaryList list;
        TLoadResult r;
        if (int code = Load(path, list, r)) return code;
        if (int code = Damage(path, r)) return code;
        QString summary = QStringLiteral("%1: ok, %2 entries").arg(path).arg(list.Count());
        if (r.duplicates)
            summary += QStringLiteral(", %1 duplicate keywords dropped").arg(r.duplicates);
        out_.write(summary.toUtf8() + '\n');
        return kOk;
    }

    void Write(const QString& path, TDictionaryList& list) {
        const QByteArray name = Ansi::FromUnicode(QFileInfo(path).fileName());
        if (name.size() <= TDictionaryHeader::kLineChars) list.SetStoredFileName(name);
        DictFile::Save(path, list);
    }

    int New(const QStringList& args) {
        QStringList info;
        for (qsizetype i = 1; i < args.size(); i += 2) {
            if (args[i] != "--info" || i + 1 >= args.size() || info.size() == 3)
                return Fail(QStringLiteral("bad usage; see bxdict --help"), kFailed);
            info << args[i + 1];
        }
        while (info.size() < 3)
            info << QString();
        TDictionaryList list;
        list.SetInfoLines(Ansi::FromUnicode(info[0]), Ansi::FromUnicode(info[1]),
                          Ansi::FromUnicode(info[2]));
        const QStringList problems = ReadEntryLines(in_.readAll(), list);
        if (!problems.isEmpty()) {
            for (const QString& p : problems)
                Fail(p, kFailed);
            return Fail(QStringLiteral("nothing written"), kFailed);
        }
        Write(args[0], list);
        return kOk;
    }

    int Convert(const QString& from, const QString& to) {
        TDictionaryList list;
        TLoadResult r;
        if (int code = Load(from, list, r)) return code;
        Write(to, list);
        return Damage(from, r);
    }

    QIODevice& in_;
    QIODevice& out_;
    QIODevice& err_;
};

} // namespace

int Run(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err) {
    return TCommand(in, out, err).Dispatch(args);
}

} // namespace Bxdict
