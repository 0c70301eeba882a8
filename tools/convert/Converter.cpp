#include "tools/convert/Converter.h"

#include "dictionary/DictFile.h"
#include "dictionary/EntryRules.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "tools/convert/Formats.h"
#include "tools/convert/InputFile.h"

#include <QFile>
#include <QFileInfo>

namespace Converter {

namespace {

const QStringList kImportNames = {"espanso", "autokey", "beeftext", "csv", "jsonl"};
const QStringList kExportNames = {"espanso", "csv", "jsonl"};

void Step(const TProgressStep& step, int percent, const QString& what) {
    if (step) step(percent, what);
}

TConvertReport Stop(TConvertStatus status, const QString& error) {
    TConvertReport r;
    r.status = status;
    r.error = error;
    return r;
}

// Loads a whole dictionary with its entries' flags as stored. False with
// the report filled when it cannot be read; a damaged one is loaded as far as
// it goes and *damage says where.
bool LoadDictionary(const QString& path, TDictionaryList& list, TConvertReport& report,
                    QString* damage) {
    QFile file;
    QString error;
    if (!SafeFile::OpenForReading(path, file, &error)) {
        report = Stop(TConvertStatus::Failed, error);
        return false;
    }
    try {
        const TLoadResult r = list.LoadFromStream(file, 0, false, nullptr, nullptr, true);
        if (!r.complete && damage)
            *damage = QStringLiteral("%1: reading stopped at byte offset %2: %3")
                          .arg(path)
                          .arg(r.stopOffset)
                          .arg(r.stopReason);
        return true;
    } catch (const EBrevix& e) {
        report = Stop(TConvertStatus::BadHeader, path + QStringLiteral(": ") + e.Message());
        return false;
    }
}

void Parse(TImportFormat format, const QString& input, TImportBatch& batch) {
    if (format == TImportFormat::AutoKey) return Formats::ImportAutoKey(input, batch);
    QByteArray data;
    QString problem;
    if (!InputFile::Read(input, data, problem)) return batch.Fatal(problem);
    switch (format) {
    case TImportFormat::Espanso:
        return Formats::ImportEspanso(data, batch);
    case TImportFormat::Beeftext:
        return Formats::ImportBeeftext(data, batch);
    case TImportFormat::Csv:
        return Formats::ImportCsv(data, batch);
    case TImportFormat::JsonLines:
        return Formats::ImportJsonLines(data, batch);
    case TImportFormat::AutoKey:
        break;
    }
}

} // namespace

QStringList ImportFormatNames() {
    return kImportNames;
}

QStringList ExportFormatNames() {
    return kExportNames;
}

std::optional<TImportFormat> ImportFormatNamed(const QString& name) {
    const qsizetype i = kImportNames.indexOf(name.toLower());
    if (i < 0) return std::nullopt;
    return static_cast<TImportFormat>(i);
}

std::optional<TExportFormat> ExportFormatNamed(const QString& name) {
    const qsizetype i = kExportNames.indexOf(name.toLower());
    if (i < 0) return std::nullopt;
    return static_cast<TExportFormat>(i);
}

TConvertReport Import(TImportFormat format, const QString& input, const QString& dictionary,
                      bool skipBad, const TProgressStep& step) {
    Step(step, 5, QStringLiteral("Reading %1").arg(input));
    TImportBatch batch;
    Parse(format, input, batch);
    if (!batch.fatal.isEmpty()) {
        TConvertReport r = Stop(TConvertStatus::Failed, input + QStringLiteral(": ") + batch.fatal);
        r.faults = batch.faults;
        r.losses = batch.losses;
        return r;
    }
    Step(step, 40, QStringLiteral("Checking %1 entries").arg(batch.candidates.size()));
    TDictionaryList list;
    const bool exists = QFileInfo::exists(dictionary);
    TConvertReport report;
    if (exists) {
        QString damage;
        if (!LoadDictionary(dictionary, list, report, &damage)) return report;
        // Saving what was read of a damaged file would drop the rest of it.
        if (!damage.isEmpty())
            return Stop(TConvertStatus::Damaged,
                        damage +
                            QStringLiteral("\nNothing was written, so that no entry is lost."));
        if (FileIsReadOnly(dictionary))
            return Stop(TConvertStatus::Failed,
                        QStringLiteral("%1 is read-only; nothing was written.").arg(dictionary));
    }
    const int before = list.Count();
    report.entries = ApplyImport(batch, list, skipBad);
    report.faults = batch.faults;
    report.losses = batch.losses;
    if (!report.faults.isEmpty() && !skipBad) {
        report.status = TConvertStatus::Refused;
        report.error = QStringLiteral("%1 item(s) of %2 cannot be imported; nothing was written.")
                           .arg(report.faults.size())
                           .arg(input);
        return report;
    }
    if (report.entries > 0 || !exists) {
        Step(step, 70, QStringLiteral("Writing %1").arg(dictionary));
        try {
            DictFile::SaveDictionary(dictionary, list, exists);
        } catch (const EBrevix& e) {
            return Stop(TConvertStatus::Failed, dictionary + QStringLiteral(": ") + e.Message());
        }
    }
    report.status = report.faults.isEmpty() ? TConvertStatus::Ok : TConvertStatus::Skipped;
    report.summary = QStringLiteral("%1 entries imported into %2 (%3 before, %4 now)")
                         .arg(report.entries)
                         .arg(dictionary)
                         .arg(before)
                         .arg(list.Count());
    if (!report.faults.isEmpty())
        report.summary += QStringLiteral("; %1 item(s) skipped").arg(report.faults.size());
    Step(step, 100, report.summary);
    return report;
}

TConvertReport Export(TExportFormat format, const QString& dictionary, const QString& output,
                      const TProgressStep& step) {
    Step(step, 5, QStringLiteral("Reading %1").arg(dictionary));
    TDictionaryList list;
    TConvertReport report;
    QString damage;
    if (!LoadDictionary(dictionary, list, report, &damage)) return report;
    Step(step, 50, QStringLiteral("Writing %1").arg(output));
    QByteArray data;
    switch (format) {
    case TExportFormat::Espanso:
        data = Formats::ExportEspanso(list, report.losses);
        break;
    case TExportFormat::Csv:
        data = Formats::ExportCsv(list, report.losses);
        break;
    case TExportFormat::JsonLines:
        data = Formats::ExportJsonLines(list, report.losses);
        break;
    }
    QString error;
    if (!SafeFile::Write(output, data, &error))
        return Stop(TConvertStatus::Failed, output + QStringLiteral(": ") + error);
    report.entries = list.Count();
    report.summary = QStringLiteral("%1 entries exported to %2").arg(list.Count()).arg(output);
    if (!damage.isEmpty()) {
        report.status = TConvertStatus::Damaged;
        report.error = damage;
    }
    Step(step, 100, report.summary);
    return report;
}

TConvertReport Upgrade(const QString& from, const QString& to, const TProgressStep& step) {
    Step(step, 5, QStringLiteral("Reading %1").arg(from));
    TDictionaryList list;
    TConvertReport report;
    QString damage;
    if (!LoadDictionary(from, list, report, &damage)) return report;
    Step(step, 50, QStringLiteral("Writing %1").arg(to));
    // Written over itself, a damaged file would lose what could not be read.
    if (!damage.isEmpty() &&
        QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
        return Stop(TConvertStatus::Damaged,
                    damage + QStringLiteral("\nNothing was written, so that no entry is lost."));
    const QByteArray name = Ansi::FromUnicode(QFileInfo(to).fileName());
    if (name.size() <= TDictionaryHeader::kLineChars) list.SetStoredFileName(name);
    try {
        DictFile::Save(to, list);
    } catch (const EBrevix& e) {
        return Stop(TConvertStatus::Failed, to + QStringLiteral(": ") + e.Message());
    }
    report.entries = list.Count();
    report.summary =
        QStringLiteral("%1 entries written to %2 as version 7").arg(list.Count()).arg(to);
    if (!damage.isEmpty()) {
        report.status = TConvertStatus::Damaged;
        report.error = damage;
    }
    Step(step, 100, report.summary);
    return report;
}

} // namespace Converter
