#include "shell/CommandLine.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

bool Matches(const QString& param, const QString& prefix) {
    return param.size() > prefix.size() && param.startsWith(prefix, Qt::CaseInsensitive);
}

[[noreturn]] void Fail(const QString& param, const QString& why) {
    throw EBrevix(QStringLiteral("Error in command line parameter:") + kCrLf + param + kCrLf +
                  kCrLf + why);
}

// Decimal, with an optional sign or a "$"/"0x" hexadecimal prefix.
std::optional<qint64> ParseInteger(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || t != text) return std::nullopt;
    return v;
}
} // namespace

QString JoinPath(const QString& folder, const QString& name) {
    const QString f = folder.trimmed(), n = name.trimmed();
    if (f.isEmpty()) return n;
    return f.endsWith(QLatin1Char('/')) ? f + n : f + QLatin1Char('/') + n;
}

TCommandLine ParseCommandLine(const QStringList& params) {
    TCommandLine cl;
    const QString cfg = QStringLiteral("/CFG="), target = QStringLiteral("/TARGETPROCESS="),
                  script = QStringLiteral("/SCRIPT="), port = QStringLiteral("/PORT=");
    for (const QString& p : params) {
        if (Matches(p, cfg)) {
            QString v = p.mid(cfg.size());
            if (v.startsWith(QLatin1Char('"'))) v[0] = QLatin1Char(' ');
            if (v.endsWith(QLatin1Char('"'))) v[v.size() - 1] = QLatin1Char(' ');
            v = v.trimmed();
            // Folders may be written either way; both separators become ours.
            v.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (v.isEmpty() || !QFileInfo(v).isDir())
                Fail(p, QStringLiteral("Path \"") + v + QStringLiteral("\"") + kCrLf +
                            QStringLiteral("does not exist!"));
            cl.ConfigDir = v.endsWith(QLatin1Char('/')) ? v : v + QLatin1Char('/');
        } else if (Matches(p, target)) {
            const auto id = ParseInteger(p.mid(target.size()));
            if (!id || *id < 0 || *id > 0xFFFFFFFFLL) Fail(p, QStringLiteral("Invalid process id"));
            cl.TargetProcessId = static_cast<uint32_t>(*id);
            cl.TargetProcessOnly = true;
        } else if (Matches(p, script)) {
            const QString file = p.mid(script.size());
            if (!QFileInfo(file).isFile())
                Fail(p, QStringLiteral("File \"") + file + QStringLiteral("\" not found."));
            cl.CommandLineScript = file;
        } else if (p == QLatin1String("--autostart")) {
            cl.Autostart = true;
        } else if (Matches(p, port) && !cl.Port) {
            const auto n = ParseInteger(p.mid(port.size()));
            // A port outside the TCP range could never listen; refuse it here.
            if (!n || *n < 0 || *n > 65535) Fail(p, QStringLiteral("Invalid port number"));
            cl.Port = static_cast<int>(*n);
        } else {
            throw EBrevix(QStringLiteral("Unrecognized command line parameter:") + kCrLf +
                          QStringLiteral("\"") + p + QStringLiteral("\"") + kCrLf);
        }
    }
    return cl;
}

QString ProgramVersionText() {
    return QStringLiteral("Brevix 10.00\n");
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: brevix [/CFG=FOLDER] [/TARGETPROCESS=PID] [/SCRIPT=FILE.tcl] [/PORT=N]\n"
        "       brevix --version | --help\n"
        "\n"
        "A resident text expander: type a keyword and a delimiter in any program and\n"
        "Brevix types the entry's text in its place.\n"
        "\n"
        "  /CFG=FOLDER         use another configuration folder (it must exist);\n"
        "                      the default is ~/.config/brevix\n"
        "  /TARGETPROCESS=PID  act only on keys typed in windows of that process\n"
        "  /SCRIPT=FILE.tcl    run a Tcl script at start\n"
        "  /PORT=N             accept Tcl scripts from programs of the same user on\n"
        "                      local TCP port N\n"
        "  --autostart         started with the desktop session: go straight to the\n"
        "                      notification area\n"
        "  --version           print the version and exit\n"
        "  --help              print this text and exit\n"
        "\n"
        "Parameter prefixes are not case-sensitive. Files in the configuration folder:\n"
        "Brevixo.ini (settings), PAGES.CFG and HISTORY.CFG (open dictionaries and\n"
        "history), Brevixo.tcl (start-up script), *.bxd (dictionaries).\n"
        "Environment: BREVIX_HOOK=x11|virtual chooses how keys are watched.\n"
        "See brevix(1).\n");
}
