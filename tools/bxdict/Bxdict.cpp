#include "tools/bxdict/Bxdict.h"

#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "tools/bxdict/EntryLines.h"
#include "tools/bxdict/JsonLine.h"
#include "tools/convert/Converter.h"
#include "tools/convert/Formats.h"

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
  import --from FORMAT [--skip-bad] INPUT DICTIONARY
                        Adds the entries of another expander's files to
                        DICTIONARY (.bxd), which is created when it does not
                        exist; its own entries always stay, and a backup of
                        it is kept as with every save. FORMAT is one of:
                          espanso   an espanso match file (YAML)
                          autokey   a folder of AutoKey phrases (NAME.txt with
                                    its .NAME.json), sub-folders included
                          beeftext  a Beeftext combo file (JSON)
                          csv       keyword,text,description (UTF-8, RFC 4180
                                    quoting; a header row is optional)
                          jsonl     JSON Lines in the dump format
                        The whole input is read before anything is written.
                        An item at fault (a blank keyword, one longer than 32
                        characters, one already in the dictionary or twice in
                        the input, a character outside Windows-1252, a field
                        too long) stops the import, naming each line or item;
                        with --skip-bad the rest is imported and the items
                        skipped are listed. What cannot be carried over (shell
                        variables, regex triggers, images, hotkeys) is listed
                        on standard error, never dropped without a word;
                        espanso forms and Beeftext #{input:...} become input
                        fields.
  export --to FORMAT DICTIONARY OUTPUT
                        Writes the entries as espanso, csv or jsonl; OUTPUT is
                        replaced atomically. What the format cannot hold (tags
                        other than input fields for espanso, shortcut keys) is
                        listed on standard error.
  --help                This text.

Exit status:
  0  success
  1  the file header is refused: "Unrecognized file header (you may need a
     newer version of Brevix)" on standard error (every command)
  2  the entry data is damaged: reading stopped before the end of the file
     (dump, info and convert still output what was read before the damage)
  3  any other failure: bad usage, unreadable or unwritable file, refused input
     (an import file that is not of its format)
  4  import: items at fault; nothing was written
  5  import --skip-bad: items at fault were skipped, the rest was written
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
            if (cmd == "import") return Import(rest);
            if (cmd == "export") return Export(rest);
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
        QList<TConvertNote> losses;
        out_.write(Formats::ExportJsonLines(list, losses));
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
        return Finish(Converter::Upgrade(from, to));
    }

    // The options of import and export, in any order before the two paths.
    struct TOptions {
        QString format;
        bool skipBad = false;
        QStringList paths;
    };

    bool Options(const QStringList& args, const char* formatOption, TOptions& o) {
        for (qsizetype i = 0; i < args.size(); ++i) {
            if (args[i] == QLatin1String(formatOption) && i + 1 < args.size() && o.format.isEmpty())
                o.format = args[++i];
            else if (args[i] == "--skip-bad" && formatOption == QLatin1String("--from"))
                o.skipBad = true;
            else if (args[i].startsWith("--") && args[i].size() > 2)
                return false;
            else
                o.paths << args[i];
        }
        return !o.format.isEmpty() && o.paths.size() == 2;
    }

    int Import(const QStringList& args) {
        TOptions o;
        if (!Options(args, "--from", o))
            return Fail(QStringLiteral("bad usage; see bxdict --help"), kFailed);
        const auto format = Converter::ImportFormatNamed(o.format);
        if (!format)
            return Fail(
                QStringLiteral("unknown format \"%1\"; --from takes %2")
                    .arg(o.format, Converter::ImportFormatNames().join(QStringLiteral(", "))),
                kFailed);
        return Finish(Converter::Import(*format, o.paths[0], o.paths[1], o.skipBad));
    }

    int Export(const QStringList& args) {
        TOptions o;
        if (!Options(args, "--to", o))
            return Fail(QStringLiteral("bad usage; see bxdict --help"), kFailed);
        const auto format = Converter::ExportFormatNamed(o.format);
        if (!format)
            return Fail(
                QStringLiteral("unknown format \"%1\"; --to takes %2")
                    .arg(o.format, Converter::ExportFormatNames().join(QStringLiteral(", "))),
                kFailed);
        return Finish(Converter::Export(*format, o.paths[0], o.paths[1]));
    }

    // Reports a conversion: faults and losses on standard error, the summary
    // on standard output.
    int Finish(const TConvertReport& r) {
        const bool skipped = r.status == TConvertStatus::Skipped;
        for (const TConvertNote& n : r.faults)
            Fail((skipped ? QStringLiteral("skipped: ") : QString()) + n.Text(), 0);
        for (const TConvertNote& n : r.losses)
            Fail(QStringLiteral("not carried over: ") + n.Text(), 0);
        if (!r.error.isEmpty()) Fail(r.error, 0);
        if (!r.summary.isEmpty()) out_.write(r.summary.toUtf8() + '\n');
        switch (r.status) {
        case TConvertStatus::Ok:
            return kOk;
        case TConvertStatus::BadHeader:
            return kBadHeader;
        case TConvertStatus::Damaged:
            return kDamaged;
        case TConvertStatus::Failed:
            return kFailed;
        case TConvertStatus::Refused:
            return kRefused;
        case TConvertStatus::Skipped:
            return kSkipped;
        }
        return kFailed;
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
