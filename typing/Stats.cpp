#include "typing/Stats.h"

#include "hook/HookApi.h"

#include <cmath>
#include <limits>

namespace {
constexpr qint64 kStoredMax = std::numeric_limits<int32_t>::max();
} // namespace

TKeyCountSource TKeyCountSource::Hook() {
    return {[] { return ::GetAutoKeyCount(); }, [] { return ::GetTotalKeyCount(); },
            [] { ::ResetKeyCount(); }};
}

TKeyStatistics::TKeyStatistics(TKeyCountSource source)
    : source_(std::move(source)), statDate_(QDateTime::currentDateTime()) {}

void TKeyStatistics::Load(qint64 autoKeys, qint64 userKeys, const QDateTime& statDate) {
    if (autoKeys < 0 || userKeys < 0 || autoKeys > kStoredMax || userKeys > kStoredMax) {
        ResetKeyCounts();
        return;
    }
    savedProgram_ = autoKeys;
    savedUser_ = userKeys;
    statDate_ = statDate;
}

void TKeyStatistics::GetKeyCounts(qint64& program, qint64& user) {
    const qint64 autoKeys = source_.AutoKeyCount ? source_.AutoKeyCount() : 0;
    const qint64 total = source_.TotalKeyCount ? source_.TotalKeyCount() : 0;
    program = ClipboardTypedCount + autoKeys + savedProgram_;
    user = total - autoKeys + savedUser_;
    if (program < 0 || user < 0 || program > kStoredMax || user > kStoredMax) {
        ResetKeyCounts();
        program = user = 0;
    }
}

void TKeyStatistics::ResetKeyCounts() {
    ClipboardTypedCount = 0;
    if (source_.ResetKeyCount) source_.ResetKeyCount();
    savedProgram_ = savedUser_ = 0;
    statDate_ = QDateTime::currentDateTime();
}

namespace Stats {

int NormaliseUserCPM(int cpm) {
    return cpm < 1 ? TKeyStatistics::DefaultUserCPM : cpm;
}

int SharePercent(qint64 program, qint64 user) {
    const qint64 sum = program + user;
    return sum <= 0 ? 0 : static_cast<int>(program * 100 / sum);
}

QString TimeSavedText(qint64 program, int speed) {
    const double minutes = speed > 0 ? static_cast<double>(program) / speed : 0.0;
    if (!(minutes > 0)) return QStringLiteral("0 seconds");
    // Rounded once as a whole, so 59.6 seconds never reads "60 seconds".
    const qint64 total = std::llround(minutes * 60.0);
    const qint64 days = total / 86400, hours = total % 86400 / 3600;
    const qint64 mins = total % 3600 / 60, secs = total % 60;
    QString text;
    auto add = [&text](qint64 n, const char* one, const char* many) {
        if (n > 0) text += QString::number(n) + QLatin1String(n == 1 ? one : many);
    };
    add(days, " day ", " days ");
    add(hours, " hour ", " hours ");
    add(mins, " minute ", " minutes ");
    add(secs, " second", " seconds");
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("0 seconds") : text;
}

QString DateLine(const QDateTime& statDate, const QLocale& locale) {
    const QString when = locale.toString(statDate.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(statDate.time(), QLocale::LongFormat);
    return QStringLiteral("The statistics below are based on the number of keystrokes counted "
                          "since %1.")
        .arg(when);
}

QString TotalLine(qint64 user) {
    return QStringLiteral("You typed %1 characters.").arg(user);
}

QString AutoLine(qint64 program, qint64 user) {
    return QStringLiteral("Brevix typed %1 characters (%2% of the total).")
        .arg(program)
        .arg(SharePercent(program, user));
}

QString TimeSavedLine(qint64 program, int speed) {
    return QStringLiteral("Brevix saved you %1 of work.").arg(TimeSavedText(program, speed));
}

} // namespace Stats
