#pragma once
// Whole conversions, as the bxdict command line and the converter window run
// them: an import into a dictionary (created, or extended without losing an
// entry), an export of a dictionary, and an old dictionary made version 7.
#include "tools/convert/ImportBatch.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

enum class TImportFormat { Espanso, AutoKey, Beeftext, Csv, JsonLines };
enum class TExportFormat { Espanso, Csv, JsonLines };

enum class TConvertStatus {
    Ok,
    BadHeader, // the dictionary's header is refused
    Damaged,   // the dictionary's entry data is damaged
    Failed,    // unreadable input, unwritable output, input not of its format
    Refused,   // items at fault: nothing written
    Skipped,   // items at fault were skipped, the rest written
};

struct TConvertReport {
    TConvertStatus status = TConvertStatus::Ok;
    QString error;              // what stopped the conversion, when it stopped
    int entries = 0;            // entries imported, exported or converted
    QList<TConvertNote> faults; // items refused or skipped
    QList<TConvertNote> losses; // what was not carried over
    QString summary;            // one line for the user
};

namespace Converter {
// Reports progress: a percentage and what is being done.
using TProgressStep = std::function<void(int percent, const QString& what)>;

// Names as the command line takes them: espanso, autokey, beeftext, csv, jsonl.
QStringList ImportFormatNames();
QStringList ExportFormatNames();
std::optional<TImportFormat> ImportFormatNamed(const QString& name);
std::optional<TExportFormat> ExportFormatNamed(const QString& name);

// Reads the whole input first; writes the dictionary (atomically, with a
// backup of the one it extends) only when nothing is at fault, or with
// skipBad when something is left to add.
TConvertReport Import(TImportFormat format, const QString& input, const QString& dictionary,
                      bool skipBad, const TProgressStep& step = {});
TConvertReport Export(TExportFormat format, const QString& dictionary, const QString& output,
                      const TProgressStep& step = {});
// A dictionary of version 5, 6 or 7 written as version 7 under another name.
TConvertReport Upgrade(const QString& from, const QString& to, const TProgressStep& step = {});
} // namespace Converter
