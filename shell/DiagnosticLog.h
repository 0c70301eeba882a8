#pragma once
// The diagnostic log that scripts write with "bx_debug msg": off unless the
// user turns it on, each line time-stamped, and bounded so that a script in
// a loop cannot fill the memory.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class TDiagnosticLog {
public:
    static constexpr qsizetype MaxLines = 5000;
    static constexpr qsizetype MaxLineLength = 2000;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on) { enabled_ = on; }

    // "bx_debug msg": with a text a line is added, without one the log is
    // cleared; both only while the log is enabled. False when ignored.
    bool Message(const std::optional<QString>& text, const QDateTime& now = {});
    void Clear();
    const QStringList& Lines() const { return lines_; }
    QString Text() const { return lines_.join(QLatin1Char('\n')); }
    // Lines dropped from the front since the last Clear.
    qsizetype Dropped() const { return dropped_; }

    // Told of each added line (cleared: an empty optional).
    std::function<void(const std::optional<QString>& line)> Changed;

private:
    bool enabled_ = false;
    QStringList lines_;
    qsizetype dropped_ = 0;
};
