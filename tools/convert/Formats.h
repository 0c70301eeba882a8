#pragma once
// The readers and writers of other programs' files. Readers fill a batch and
// never throw; writers return the whole file and list what they could not
// carry over.
#include "tools/convert/ImportBatch.h"

#include <QByteArray>
#include <QString>

class TDictionaryList;
class TDictionaryItem;

namespace Formats {
// keyword, text, description; an optional header row naming them.
void ImportCsv(const QByteArray& data, TImportBatch& batch);
// The bxdict dump format, one object per line.
void ImportJsonLines(const QByteArray& data, TImportBatch& batch);
// An espanso match file (YAML).
void ImportEspanso(const QByteArray& data, TImportBatch& batch);
// A Beeftext combo file (JSON).
void ImportBeeftext(const QByteArray& data, TImportBatch& batch);
// An AutoKey folder: each phrase NAME.txt with its metadata .NAME.json,
// sub-folders included.
void ImportAutoKey(const QString& folder, TImportBatch& batch);

QByteArray ExportCsv(const TDictionaryList& list, QList<TConvertNote>& losses);
QByteArray ExportJsonLines(const TDictionaryList& list, QList<TConvertNote>& losses);
QByteArray ExportEspanso(const TDictionaryList& list, QList<TConvertNote>& losses);

// How an exported entry is named in a report.
QString EntryPlace(const TDictionaryItem& item);
} // namespace Formats
