#include "typing/Stats.h"

#include "hook/HookApi.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Stats, TimeSavedText) {
    struct Case {
        qint64 program;
        int speed;
        const char* text;
    } cases[] = {
        {90, 180, "30 seconds"},
        {21690, 180, "2 hours 30 seconds"},
        {0, 180, "0 seconds"},
        {500, 0, "0 seconds"},
        {500, -3, "0 seconds"},
        {180, 180, "1 minute"},
        {360, 180, "2 minutes"},
        {183, 180, "1 minute 1 second"},
        {180 * 1440, 180, "1 day"},
        {180 * 1440 * 2 + 180 * 61 + 6, 180, "2 days 1 hour 1 minute 2 seconds"},
        {179, 180, "1 minute"}, // 59.7 seconds round up to a whole minute
        {1, 100000, "0 seconds"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Stats::TimeSavedText(c.program, c.speed), QString::fromLatin1(c.text))
            << c.program << " at " << c.speed;
}

TEST(Stats, Lines) {
    EXPECT_EQ(Stats::TotalLine(270), QStringLiteral("You typed 270 characters."));
    EXPECT_EQ(Stats::AutoLine(90, 270),
              QStringLiteral("Brevix typed 90 characters (25% of the total)."));
    EXPECT_EQ(Stats::AutoLine(0, 0),
              QStringLiteral("Brevix typed 0 characters (0% of the total)."));
    EXPECT_EQ(Stats::SharePercent(2, 1), 66);
    EXPECT_EQ(Stats::SharePercent(2000000000, 100000000), 95); // no 32-bit overflow
    EXPECT_EQ(Stats::TimeSavedLine(90, 180),
              QStringLiteral("Brevix saved you 30 seconds of work."));
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString line = Stats::DateLine(when, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(line.startsWith(QStringLiteral("The statistics below are based on the number of "
                                               "keystrokes counted since 3/5/24 2:07:09")))
        << line.toStdString();
    EXPECT_TRUE(line.endsWith(QLatin1Char('.')));
    EXPECT_EQ(Stats::NormaliseUserCPM(0), 180);
    EXPECT_EQ(Stats::NormaliseUserCPM(-4), 180);
    EXPECT_EQ(Stats::NormaliseUserCPM(1), 1);
}

namespace {
struct FakeHook {
    uint32_t autoKeys = 0, total = 0;
    int resets = 0;
    TKeyCountSource Source() {
        return {[this] { return autoKeys; }, [this] { return total; },
                [this] { autoKeys = total = 0, ++resets; }};
    }
};
} // namespace

TEST(KeyStatistics, CountsAddStoredHookAndPastedCharacters) {
    FakeHook hook;
    TKeyStatistics stats(hook.Source());
    const QDateTime since(QDate(2020, 1, 2), QTime(3, 4, 5));
    stats.Load(1000, 5000, since);
    hook.autoKeys = 40;
    hook.total = 140;
    stats.ClipboardTypedCount = 7;
    qint64 program = -1, user = -1;
    stats.GetKeyCounts(program, user);
    EXPECT_EQ(program, 1000 + 40 + 7);
    EXPECT_EQ(user, 5000 + 100);
    EXPECT_EQ(stats.StatDate(), since);
    EXPECT_EQ(hook.resets, 0);

    stats.ResetKeyCounts();
    stats.GetKeyCounts(program, user);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(user, 0);
    EXPECT_EQ(hook.resets, 1);
    EXPECT_GT(stats.StatDate(), since);
}

TEST(KeyStatistics, ImpossibleCountsRestartThePeriod) {
    const QDateTime since(QDate(2020, 1, 2), QTime(3, 4, 5));
    struct Case {
        qint64 storedAuto, storedUser;
        uint32_t hookAuto, hookTotal;
    } cases[] = {{-1, 5, 0, 0},
                 {5, -1, 0, 0},
                 {5, 5, 10, 3},               // more typed by Brevix than counted
                 {2147483600LL, 0, 100, 100}, // past what "AutoKeys" can hold
                 {4294967295LL, 0, 0, 0}};
    for (const Case& c : cases) {
        FakeHook hook;
        TKeyStatistics stats(hook.Source());
        stats.Load(c.storedAuto, c.storedUser, since);
        hook.autoKeys = c.hookAuto;
        hook.total = c.hookTotal;
        qint64 program = -1, user = -1;
        stats.GetKeyCounts(program, user);
        EXPECT_EQ(program, 0) << c.storedAuto;
        EXPECT_EQ(user, 0) << c.storedAuto;
        EXPECT_GE(hook.resets, 1);
        EXPECT_NE(stats.StatDate(), since);
    }
}

TEST(KeyStatistics, CountsTheKeysOfTheHookLibrary) {
    QTemporaryDir runtime;
    qputenv("BREVIX_HOOK", "virtual");
    qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    constexpr BxHwnd kMain = 0x7101;
    ASSERT_EQ(InitHooksDll(kMain), 0);
    InstallKeyboardFilter(1);
    BxVirtualSetFocus(BxVirtualCreateWindow(1));
    TKeyStatistics stats(TKeyCountSource::Hook());
    const QDateTime since(QDate(2020, 1, 2), QTime(3, 4, 5));
    stats.Load(0, 0, since);

    BxVirtualType("abc");
    DisplayText("typed by the program", 0, 1, 0);
    ASSERT_TRUE(BxWaitIdle(2000));
    qint64 program = -1, user = -1;
    stats.GetKeyCounts(program, user);
    EXPECT_EQ(program, 20);
    EXPECT_EQ(user, 3);
    EXPECT_EQ(stats.StatDate(), since);

    InstallKeyboardFilter(0);
    UninstallHooksDll(kMain);
}
