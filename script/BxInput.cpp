// bx_input: ask the user for a value in a one-field input box or a file dialog.
#include "platform/Ansi.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/InputBoxHost.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

using namespace BxArgs;

namespace {
constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;
const QByteArray kCancel = "BX_CANCEL";
const QByteArray kDefaultFilter = "All files (*.*)|*.*|Text files (*.txt)|*.TXT|Brevix files "
                                  "(*.bxd)|*.bxd|Tcl files (*.tcl)|*.tcl";

// Multi-line values from scripts: every LF becomes CR LF, stray CRs go.
QString ScriptText(const QByteArray& text) {
    QByteArray t = text;
    t.replace("\r", "").replace("\n", "\r\n");
    return Ansi::ToUnicode(t);
}

} // namespace

// "desc|pattern|desc|pattern" as Qt writes it: "desc (pattern);;...".
QString BxFileFilter(const QByteArray& filter) {
    const QList<QByteArray> parts = filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = Ansi::ToUnicode(parts[i]).trimmed();
        QStringList patterns = Ansi::ToUnicode(parts[i + 1]).split(QLatin1Char(';'));
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        if (const qsizetype paren = desc.indexOf(QLatin1Char('(')); paren > 0)
            desc = desc.left(paren).trimmed();
        out << desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

int BxInputCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    const auto fail = [&](const QByteArray& message) {
        result = message;
        return Error;
    };
    if (argv.size() < 2) return fail(WrongArgs("bx_input option prompt ?args?"));
    const QByteArray& option = argv[1];
    const qsizetype n = argv.size();
    TInputBoxHost* boxes = ctx.Host.InputBoxes();
    const QString prompt = Ansi::ToUnicode(Arg(argv, 2));
    const auto answer = [&](bool ok, const QByteArray& value) {
        result = ok ? value : kCancel;
        return Ok;
    };

    if (option == "string" || option == "memo" || option == "msg" || option == "date") {
        if (n < 3 || n > 4) {
            const QByteArray tail =
                option == "msg" ? " prompt ?message?" : " prompt ?defaultValue?";
            return fail(WrongArgs("bx_input " + option + tail));
        }
        if (!boxes) return answer(false, {});
        if (option == "string") {
            QString text = Ansi::ToUnicode(Arg(argv, 3));
            const bool ok = boxes->Line(text, prompt);
            return answer(ok, Ansi::FromUnicode(text));
        }
        if (option == "memo") {
            QString text = ScriptText(Arg(argv, 3));
            const bool ok = boxes->Memo(text, prompt, false);
            return answer(ok, Ansi::FromUnicode(text));
        }
        if (option == "msg") {
            const bool ok = boxes->Message(ScriptText(Arg(argv, 3)), prompt);
            return answer(ok, {});
        }
        QString text = Ansi::ToUnicode(Arg(argv, 3));
        const bool ok = boxes->Date(text, prompt);
        return answer(ok, Ansi::FromUnicode(text));
    }
    if (option == "spellcheck") {
        if (n < 4 || n > 5) return fail(WrongArgs("bx_input spellcheck prompt text"));
        if (!boxes) return answer(false, {});
        QString text = ScriptText(argv[3]);
        const bool ok = boxes->Memo(text, prompt, true);
        return answer(ok, Ansi::FromUnicode(text));
    }
    if (option == "list" || option == "list1") {
        const bool multiple = option == "list";
        if (n < 4 || n > 5)
            return fail(WrongArgs(multiple
                                      ? "bx_input list prompt {listItems} ?{defaultSelections}?"
                                      : "bx_input list1 prompt {listItems} ?defaultSelection?"));
        QList<QByteArray> items, defaults;
        QByteArray why;
        if (!ctx.Tcl.SplitList(argv[3], &items, &why)) return fail(why);
        if (n == 5 && !ctx.Tcl.SplitList(argv[4], &defaults, &why)) return fail(why);
        QList<int> chosen;
        for (const QByteArray& d : defaults)
            if (const std::optional<int> i = ParseInt(d); i && *i >= 0 && *i < items.size())
                chosen << *i;
        if (!multiple && chosen.size() > 1) chosen = chosen.mid(0, 1);
        if (!boxes) return answer(false, {});
        QStringList texts;
        for (const QByteArray& item : items)
            texts << Ansi::ToUnicode(item);
        if (!boxes->PickList(chosen, texts, prompt, multiple)) return answer(false, {});
        std::sort(chosen.begin(), chosen.end());
        if (!multiple && chosen.isEmpty()) {
            result.clear();
            return Error;
        }
        QByteArrayList out;
        for (int i : chosen)
            out << QByteArray::number(i);
        result = out.join(' ');
        return Ok;
    }
    if (option == "open" || option == "save") {
        const bool save = option == "save";
        if (n < 3 || n > 6)
            return fail(
                WrongArgs(save ? "bx_input save prompt ?-filter fileFilter? ?defaultFilename?"
                               : "bx_input open prompt ?-filter fileFilters? "
                                 "?defaultFilename?"));
        QByteArray filter = kDefaultFilter, initial;
        qsizetype i = 3;
        if (i < n && argv[i] == "-filter") {
            if (i + 1 >= n)
                return fail(WrongArgs(save ? "bx_input save prompt ?-filter fileFilter? "
                                             "?defaultFilename?"
                                           : "bx_input open prompt ?-filter fileFilters? "
                                             "?defaultFilename?"));
            filter = argv[i + 1];
            i += 2;
        }
        if (i < n) initial = argv[i++];
        if (i < n)
            return fail(WrongArgs(save ? "bx_input save prompt ?-filter fileFilter? "
                                         "?defaultFilename?"
                                       : "bx_input open prompt ?-filter fileFilters? "
                                         "?defaultFilename?"));
        if (!boxes) return answer(false, {});
        if (boxes->FileDialogOpen()) return fail("ERROR: Input window already in use");
        const QString file =
            boxes->AskFile(save, prompt, BxFileFilter(filter), Ansi::ToUnicode(initial));
        if (file.isEmpty()) return answer(false, {});
        result = Ansi::FromUnicode(QString(file).replace(QLatin1Char('\\'), QLatin1Char('/')));
        return Ok;
    }
    if (option == "show") {
        if (n > 3) return fail(WrongArgs("bx_input show ?1|0?"));
        int show = -1;
        if (n == 3) {
            if (argv[2] != "1" && argv[2] != "0")
                return fail("bad value \"" + argv[2] +
                            "\": must be either \"1\" (show) or \"0\" (hide)");
            show = argv[2] == "1" ? 1 : 0;
        }
        result = boxes && boxes->ShowFieldForm(show) ? "1" : "0";
        return Ok;
    }
    return fail(BadOption(option, "string, memo, date, list, list1, open, save or show "));
}
