// Files that are not what they seem and saves the system refuses: opening
// never waits, a refused save says what the system said, and a failed save
// leaves the dictionary and its backups exactly as they were.
#include "dictionary/Dict.h"
#include "platform/Errors.h"
#include "tests/dictionary/TestEntries.h"
#include "tools/bxdict/Bxdict.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const QString& path, const QByteArray& data, const QDateTime& modified) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    f.flush();
    ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
}

struct TFileState {
    QByteArray bytes;
    qint64 modified;
    bool operator==(const TFileState&) const = default;
};
using TFolderState = std::map<QString, TFileState>;

// Every file of the folder with its bytes and time.
TFolderState Snapshot(const QString& folder) {
    TFolderState state;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(info.filePath());
        f.open(QIODevice::ReadOnly);
        state[info.fileName()] = {f.readAll(), info.lastModified().toMSecsSinceEpoch()};
    }
    return state;
}

// A dictionary with all three backups, old enough that a save moves them on.
struct TSavedWithBackups {
    QTemporaryDir dir;
    QString path = dir.filePath("d.bxd");
    QByteArray current;
    TSavedWithBackups() {
        std::unique_ptr<TDictionaryList> small(Filled(3, 10));
        DictFile::Save(path, *small);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        current = f.readAll();
        const DictFile::TBackupNames n = DictFile::BackupNames(path);
        const QDateTime week = QDateTime::currentDateTime().addDays(-40);
        WriteFile(n.sevenDays, "week", week);
        WriteFile(n.oneDay, "day", week.addDays(10));
        WriteFile(n.latest, "latest", week.addDays(13));
    }
};

// In a child: the save must fail with the system's reason on stderr.
[[noreturn]] void SaveExpectingFailure(const QString& path, const char* reason) {
    std::unique_ptr<TDictionaryList> big(Filled(2000, 1000));
    try {
        DictFile::SaveDictionary(path, *big, true);
    } catch (const EBrevix& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::_Exit(e.Message().startsWith("Error writing to file") && e.Message().contains(reason)
                       ? 0
                       : 2);
    }
    std::_Exit(3);
}

[[noreturn]] void SaveOverTheSizeLimit(const QString& path) {
    std::signal(SIGXFSZ, SIG_IGN); // as the programs do at start
    rlimit limit{500000, 500000};
    setrlimit(RLIMIT_FSIZE, &limit);
    SaveExpectingFailure(path, "File too large");
}

[[noreturn]] void SaveWhereNotAllowed(const QString& path) {
    // The owner of a folder may always write to it as the super-user, so the
    // child is then someone else; otherwise the folder refuses its owner.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).path());
    if (geteuid() == 0) {
        chmod(folder.constData(), 0755);
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(4);
    } else {
        chmod(folder.constData(), 0555);
    }
    SaveExpectingFailure(path, "Permission denied");
}

} // namespace

TEST(DictOpen, OnlyRegularFilesAreOpenedAndNothingWaits) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.bxd");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath("folder.bxd");
    ASSERT_TRUE(QDir().mkdir(folder));
    struct Case {
        QString path;
        const char* kind;
    } cases[] = {{fifo, "a named pipe (FIFO)"}, {folder, "a folder"}, {"/dev/null", "a device"}};
    for (const Case& c : cases) {
        TDictionaryList list;
        auto* entry = new TDictionaryItem;
        entry->SetKeyword("x");
        list.Add(entry); // a load replaces the entries, even one refused
        try {
            DictFile::Load(c.path, list);
            ADD_FAILURE() << c.kind << " was opened";
        } catch (const EBrevix& e) {
            EXPECT_TRUE(e.Message().contains(c.kind)) << e.what();
            EXPECT_TRUE(e.Message().contains(c.path)) << e.what();
        }
        EXPECT_EQ(list.Count(), 0) << c.kind;
    }
    // The command-line tool refuses it the same way.
    QByteArray out, err;
    QBuffer in, o(&out), e(&err);
    in.open(QIODevice::ReadOnly);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    EXPECT_NE(Bxdict::Run({"check", fifo}, in, o, e), 0);
    EXPECT_TRUE(err.contains("named pipe")) << err.constData();
}

TEST(DictSave, AFolderThatIsNotThereIsNamedAsTheSystemSaysIt) {
    std::unique_ptr<TDictionaryList> list(Filled(2, 2));
    try {
        DictFile::Save("/nonexistent-folder/d.bxd", *list);
        ADD_FAILURE() << "saved";
    } catch (const EBrevix& e) {
        EXPECT_TRUE(e.Message().startsWith("Error writing to file")) << e.what();
        EXPECT_TRUE(e.Message().contains("No such file or directory")) << e.what();
    }
}

// Over the file-size limit (a full disk behaves the same to the writer) and
// in a folder the user may not write: the reason is the system's, the
// dictionary and every backup keep their bytes and times, and no temporary
// file is left. The same save with room moves the backups on.
TEST(DictSaveDeathTest, FailedSaveSaysWhyAndLeavesTheBackupsAsTheyWere) {
    {
        TSavedWithBackups d;
        const TFolderState before = Snapshot(d.dir.path());
        EXPECT_EXIT(SaveOverTheSizeLimit(d.path), ::testing::ExitedWithCode(0), "File too large");
        EXPECT_EQ(Snapshot(d.dir.path()), before);
    }
    {
        TSavedWithBackups d;
        const TFolderState before = Snapshot(d.dir.path());
        EXPECT_EXIT(SaveWhereNotAllowed(d.path), ::testing::ExitedWithCode(0), "Permission denied");
        chmod(QFile::encodeName(d.dir.path()).constData(), 0700);
        EXPECT_EQ(Snapshot(d.dir.path()), before);
    }
    {
        TSavedWithBackups d;
        std::unique_ptr<TDictionaryList> big(Filled(20, 10));
        DictFile::SaveDictionary(d.path, *big, true);
        const TFolderState after = Snapshot(d.dir.path());
        const DictFile::TBackupNames n = DictFile::BackupNames(d.path);
        EXPECT_EQ(after.at(QFileInfo(n.latest).fileName()).bytes, d.current);
        EXPECT_EQ(after.at(QFileInfo(n.oneDay).fileName()).bytes, QByteArray("latest"));
        EXPECT_EQ(after.at(QFileInfo(n.sevenDays).fileName()).bytes, QByteArray("day"));
        EXPECT_EQ(after.size(), 4u);
    }
}
