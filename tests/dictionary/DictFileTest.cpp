#include "dictionary/Dict.h"
#include "platform/Errors.h"
#include "tests/dictionary/TestEntries.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

void WriteFile(const QString& path, const QByteArray& data, const QDateTime& modified) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    f.flush(); // a later flush would set the time again
    ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Runs in a child process: 0 when the save failed with the write error and
// the old file is whole.
int SaveUnderSizeLimit(const QString& path, const TDictionaryList& list, const QByteArray& before) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{500000, 500000};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
        DictFile::Save(path, list);
    } catch (const EBrevix& e) {
        if (e.Message().startsWith("Error writing to file") && ReadFile(path) == before) return 0;
    }
    return 1;
}

} // namespace

TEST(DictBackup, NamesUseTheFileNameUpToItsFirstDot) {
    const DictFile::TBackupNames n = DictFile::BackupNames("/d/my.words.bxd");
    EXPECT_EQ(n.latest, QStringLiteral("/d/my.~BX"));
    EXPECT_EQ(n.oneDay, QStringLiteral("/d/my~1day.~BX"));
    EXPECT_EQ(n.sevenDays, QStringLiteral("/d/my~7days.~BX"));
}

TEST(DictBackup, AgeRoundsHalfADayLessHalvesToEven) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b");
    const QDateTime t0 = QDateTime::currentDateTime().addDays(-30);
    struct Case {
        double days;
        long long age;
    } cases[] = {{1.0, 0}, {1.99, 1}, {2.0, 2}, {3.0, 2}, {4.0, 4}, {8.0, 8}, {7.9, 7}, {-3, -4}};
    WriteFile(b, "b", t0);
    for (const Case& c : cases) {
        WriteFile(a, "a", t0.addMSecs(static_cast<qint64>(c.days * 86400000.0)));
        EXPECT_EQ(DictFile::BackupAge(a, b), c.age) << c.days;
    }
    EXPECT_EQ(DictFile::BackupAge(a, dir.filePath("missing")), 999);
}

TEST(DictBackup, Rotation) {
    struct Case {
        const char* name;
        double latestAfterOneDay; // days; < 0: no base.~BX
        double oneDayAfterSeven;  // days; < 0: no ~7days
        QByteArray latest, oneDay, sevenDays;
    } cases[] = {
        {"first save", -1, -1, "current", "<missing>", "<missing>"},
        {"twice within a day", 0.5, 10, "current", "day", "week"},
        {"day-old moves on", 2.0, 7.4, "current", "latest", "week"},
        {"week-old moves on too", 2.0, 8.0, "current", "latest", "day"},
        {"no week-old yet", 3.0, -1, "current", "latest", "day"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("dict.bxd");
        const DictFile::TBackupNames n = DictFile::BackupNames(file);
        const QDateTime week = QDateTime::currentDateTime().addDays(-40);
        const QDateTime day =
            c.oneDayAfterSeven < 0 ? week : week.addSecs(qint64(c.oneDayAfterSeven * 86400));
        WriteFile(file, "current", QDateTime::currentDateTime());
        if (c.latestAfterOneDay >= 0) {
            WriteFile(n.latest, "latest", day.addSecs(qint64(c.latestAfterOneDay * 86400)));
            WriteFile(n.oneDay, "day", day);
            if (c.oneDayAfterSeven >= 0) WriteFile(n.sevenDays, "week", week);
        }
        DictFile::RotateBackups(file);
        EXPECT_EQ(ReadFile(n.latest), c.latest) << c.name;
        EXPECT_EQ(ReadFile(n.oneDay), c.oneDay) << c.name;
        EXPECT_EQ(ReadFile(n.sevenDays), c.sevenDays) << c.name;
        // The copy keeps the dictionary's own time, so later ages stay true.
        EXPECT_EQ(QFileInfo(n.latest).lastModified().toSecsSinceEpoch(),
                  QFileInfo(file).lastModified().toSecsSinceEpoch())
            << c.name;
    }
}

TEST(DictSave, RoundTripsThroughAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.bxd");
    std::unique_ptr<TDictionaryList> list(Filled(50, 10));
    DictFile::Save(path, *list);
    TDictionaryList back;
    EXPECT_TRUE(DictFile::Load(path, back).complete);
    EXPECT_EQ(back.Count(), 50);
    EXPECT_THROW(DictFile::Load(dir.filePath("missing.bxd"), back), EBrevix);
}

// A dictionary another program cuts short, before or while it loads (the
// progress display runs while the file is open), stops reading with a
// reason and keeps the whole entries before the cut.
TEST(DictLoad, FileCutShortStopsReadingAndKeepsTheEntriesBefore) {
    struct TCutWhileLoading : TProgress {
        QString path;
        void SetRange(int, int) override {
            if (!path.isEmpty()) QFile::resize(path, 4096);
        }
        void SetPosition(int) override {}
        void ProcessMessages() override {}
    };
    for (const bool whileLoading : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.bxd");
        std::unique_ptr<TDictionaryList> list(Filled(2000, 100));
        DictFile::Save(path, *list);
        TCutWhileLoading progress;
        if (whileLoading)
            progress.path = path;
        else
            QFile::resize(path, QFileInfo(path).size() - 3);
        TDictionaryList back;
        const TLoadResult r = DictFile::Load(path, back, 0, false, nullptr, &progress);
        EXPECT_FALSE(r.complete) << whileLoading;
        EXPECT_EQ(r.stopReason, QStringLiteral("record cut short")) << whileLoading;
        EXPECT_GT(back.Count(), 0) << whileLoading;
        EXPECT_LT(back.Count(), 2000) << whileLoading;
        for (int i = 0; i < back.Count(); ++i)
            ASSERT_EQ(back.GetItem(i)->GetText(), QByteArray(100, 'x')) << i;
    }
}

TEST(DictSave, RefusedEntryLeavesTheOldFileUntouched) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.bxd");
    std::unique_ptr<TDictionaryList> list(Filled(3, 10));
    DictFile::Save(path, *list);
    const QByteArray before = ReadFile(path);
    auto* e = new TDictionaryItem;
    e->SetKeyword("k");
    e->SetDescription(QByteArray(300, 'd'));
    list->Add(e);
    EXPECT_THROW(DictFile::Save(path, *list), EBrevix);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.bxd"});
}

// A write that fails half-way (the file size limit stands in for a full
// disk) is reported and leaves the previous file whole.
TEST(DictSaveDeathTest, FailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.bxd");
    std::unique_ptr<TDictionaryList> small(Filled(3, 10));
    DictFile::Save(path, *small);
    const QByteArray before = ReadFile(path);
    std::unique_ptr<TDictionaryList> big(Filled(2000, 1000));
    EXPECT_EXIT(std::exit(SaveUnderSizeLimit(path, *big, before)), ::testing::ExitedWithCode(0),
                "");
    EXPECT_EQ(ReadFile(path), before);
}

TEST(DictSave, SavedFileIsMarkedReadOnlyAndOpeningMakesItWritable) {
    QTemporaryDir dir;
    const QString path = dir.filePath("words.bxd");
    std::unique_ptr<TDictionaryList> list(Filled(3, 5));
    list->Header.SetWord(TDictionaryHeader::kReservedOffset, 77);
    DictFile::SaveDictionary(path, *list, true);
    EXPECT_FALSE(list->GetReadOnly());
    EXPECT_EQ(list->GetStoredFileName(), QByteArray("words.bxd"));
    EXPECT_FALSE(QFile::exists(DictFile::BackupNames(path).latest)); // nothing to back up yet

    TDictionaryList opened;
    DictFile::Load(path, opened);
    EXPECT_TRUE(opened.GetReadOnly());
    EXPECT_EQ(opened.Header.Word(TDictionaryHeader::kReservedOffset), 0);
    ASSERT_EQ(opened.Count(), 3);
    EXPECT_TRUE(opened.GetItem(0)->GetReadOnly());
    auto* linked = new TDictionaryItem;
    linked->SetKeyword("linked");
    linked->SetLinked(1);
    linked->SetReadOnly(true);
    opened.Add(linked);
    DictFile::MarkOpened(opened, path);
    EXPECT_FALSE(opened.GetReadOnly());
    EXPECT_FALSE(opened.GetItem(0)->GetReadOnly());
    EXPECT_TRUE(linked->GetReadOnly());

    DictFile::SaveDictionary(path, *list, true);
    EXPECT_TRUE(QFile::exists(DictFile::BackupNames(path).latest));
}

TEST(DictSave, OverlongFileNameIsRefusedAndLaterSavesStillWork) {
    QTemporaryDir dir;
    const QString longPath = dir.filePath(QString(37, 'n') + ".bxd"); // 41 characters
    std::unique_ptr<TDictionaryList> list(Filled(2, 5));
    EXPECT_THROW(DictFile::SaveDictionary(longPath, *list, false), EBrevix);
    EXPECT_FALSE(QFile::exists(longPath));
    EXPECT_FALSE(list->GetReadOnly());
    DictFile::SaveDictionary(dir.filePath("ok.bxd"), *list, false);
    EXPECT_TRUE(QFile::exists(dir.filePath("ok.bxd")));

    // Opening such a file fails the same way.
    QFile::copy(dir.filePath("ok.bxd"), longPath);
    TDictionaryList opened;
    DictFile::Load(longPath, opened);
    EXPECT_THROW(DictFile::MarkOpened(opened, longPath), EBrevix);
}
