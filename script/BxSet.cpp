// bx_set: switches and texts of the running program.
#include "platform/Ansi.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace BxArgs;

namespace {
constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;

// A Tcl wide integer: decimal, optionally signed.
std::optional<qint64> ParseWide(const QByteArray& text) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}
} // namespace

int BxSetCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TScriptHost& host = ctx.Host;
    if (argv.size() < 2) {
        result = WrongArgs(argv.value(0) + " option arg ?arg ...?");
        return Error;
    }
    const QByteArray& option = argv[1];
    const auto fail = [&](const QByteArray& message) {
        result = message;
        return Error;
    };
    // "?1|0?" switches: the state afterwards.
    const auto onOff = [&](bool now, const std::function<void(bool)>& set) {
        if (argv.size() > 3) return fail(WrongArgs("bx_set " + option + " ?1|0?"));
        if (argv.size() == 3) {
            const std::optional<int> on = ParseInt(argv[2]);
            if (!on) return fail("bad integer value \"" + argv[2] + "\"");
            if (bool(*on) != now) set(*on != 0);
        }
        return Ok;
    };

    if (option == "autoreplace") {
        const int rc = onOff(host.AutoReplaceOn(), [&](bool on) { host.SetAutoReplace(on); });
        if (rc == Ok) result = host.AutoReplaceOn() ? "1" : "0";
        return rc;
    }
    if (option == "links") {
        // Switching on needs at least one linked dictionary to merge.
        const int rc = onOff(host.LinksOn(), [&](bool on) { host.SetLinks(on); });
        if (rc == Ok) result = host.LinksOn() ? "1" : "0";
        return rc;
    }
    if (option == "suggestion_window") {
        const int rc =
            onOff(host.SuggestionWindowOn(), [&](bool on) { host.SetSuggestionWindow(on); });
        if (rc == Ok) result = host.SuggestionWindowOn() ? "1" : "0";
        return rc;
    }
    if (option == "targetprocess") {
        if (!host.TargetProcess())
            return fail("Setting the process ID is not available since the \"/TARGETPROCESS\" "
                        "command line parameter was not specified");
        if (argv.size() > 3) return fail(WrongArgs("bx_set targetprocess ?processID?"));
        if (argv.size() == 3) {
            const std::optional<qint64> id = ParseWide(argv[2]);
            if (!id) return fail("bad process ID \"" + argv[2] + "\": must be an integer");
            host.SetTargetProcess(static_cast<uint32_t>(*id & 0xFFFFFFFF));
        }
        result = QByteArray::number(*host.TargetProcess());
        return Ok;
    }
    if (option == "clipboard") {
        if (argv.size() > 3) return fail(WrongArgs("bx_set clipboard ?string?"));
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (argv.size() == 3) clipboard->setText(Ansi::ToUnicode(argv[2]));
        result = Ansi::FromUnicode(clipboard->text());
        return Ok;
    }
    if (option == "targetWindowHandle") {
        if (argv.size() > 2) return fail("this command does not take any arguments");
        result = QByteArray::number(static_cast<qulonglong>(host.TargetForeground()));
        return Ok;
    }
    if (option == "keyword_typed") {
        if (argv.size() > 2) return fail(WrongArgs("bx_set keyword_typed"));
        result = host.KeywordTyped();
        return Ok;
    }
    if (option == "onTransferDone" || option == "onTransfer") {
        if (argv.size() > 3) return fail(WrongArgs("bx_set " + option + " $script"));
        const bool done = option == "onTransferDone";
        if (argv.size() == 3)
            host.SetTransferScript(done, argv[2]);
        else
            result = host.TransferScript(done);
        return Ok;
    }
    if (option == "textToType") {
        if (argv.size() > 3) return fail(WrongArgs("bx_set textToType ?string?"));
        if (argv.size() == 3) host.SetTextToType(Ansi::ToCrLf(argv[2]));
        result = host.TextToType();
        return Ok;
    }
    if (option == "lastTextToType") {
        // One extra argument has always been accepted and ignored.
        if (argv.size() > 3) return fail(NoArgs("bx_set lastTextToType"));
        result = host.LastTypedText();
        return Ok;
    }
    return fail(BadOption(option, "autoreplace, clipboard, keyword_typed, lastTextToType, links, "
                                  "onTransfer, onTransferDone, suggestion_window, targetprocess, "
                                  "targetWindowHandle or textToType"));
}
