#pragma once
// Keystroke statistics: characters the user typed and characters Brevix
// typed since StatDate, and the texts of the statistics dialog. No widgets.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>

// The hook library's counters, replaceable in tests.
struct TKeyCountSource {
    std::function<uint32_t()> AutoKeyCount;  // keys Brevix typed
    std::function<uint32_t()> TotalKeyCount; // every key counted
    std::function<void()> ResetKeyCount;
    // The counters of the hook library (bx10).
    static TKeyCountSource Hook();
};

class TKeyStatistics {
public:
    static constexpr int DefaultUserCPM = 180;

    explicit TKeyStatistics(TKeyCountSource source);

    // The stored counters of earlier runs; a negative one resets everything.
    void Load(qint64 autoKeys, qint64 userKeys, const QDateTime& statDate);
    // program: characters Brevix typed (pasted ones included); user: the
    // characters the user typed. Both since StatDate; a count that does not
    // fit a stored 32-bit value resets everything.
    void GetKeyCounts(qint64& program, qint64& user);
    void ResetKeyCounts();

    // Characters inserted by pasting since the last reset.
    qint64 ClipboardTypedCount = 0;
    const QDateTime& StatDate() const { return statDate_; }

private:
    TKeyCountSource source_;
    qint64 savedProgram_ = 0;
    qint64 savedUser_ = 0;
    QDateTime statDate_;
};

namespace Stats {

// "UserCPM" below 1 means the default.
int NormaliseUserCPM(int cpm);
// Brevix's share of all characters, in whole percent; 0 when nothing was typed.
int SharePercent(qint64 program, qint64 user);
// The time that typing program characters at speed characters per minute
// takes: "2 hours 30 seconds", or "0 seconds".
QString TimeSavedText(qint64 program, int speed);

// The lines of the statistics dialog.
QString DateLine(const QDateTime& statDate, const QLocale& locale);
QString TotalLine(qint64 user);
QString AutoLine(qint64 program, qint64 user);
QString TimeSavedLine(qint64 program, int speed);

} // namespace Stats
