#include "shell/DiagnosticLog.h"

bool TDiagnosticLog::Message(const std::optional<QString>& text, const QDateTime& now) {
    if (!enabled_) return false;
    if (!text) {
        Clear();
        return true;
    }
    QString body = *text;
    if (body.size() > MaxLineLength) body = body.left(MaxLineLength) + QStringLiteral("...");
    // One entry per message: its own line breaks would look like entries.
    body.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    body.replace(QLatin1Char('\n'), QStringLiteral(" | "));
    body.replace(QLatin1Char('\r'), QStringLiteral(" | "));
    const QDateTime when = now.isValid() ? now : QDateTime::currentDateTime();
    const QString line = when.toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ') + body;
    if (lines_.size() >= MaxLines) {
        lines_.removeFirst();
        ++dropped_;
    }
    lines_.append(line);
    if (Changed) Changed(line);
    return true;
}

void TDiagnosticLog::Clear() {
    lines_.clear();
    dropped_ = 0;
    if (Changed) Changed(std::nullopt);
}
