#pragma once
// Builds a dictionary from JSON Lines in the dump format, naming the line of
// every entry it refuses.
#include "dictionary/DictList.h"

#include <QByteArray>
#include <QStringList>

// Returns the problems found, one per refused line; the list holds the
// accepted entries either way.
QStringList ReadEntryLines(const QByteArray& input, TDictionaryList& list);

// One line of the dump format into an entry: empty, or why it was refused.
QString EntryFromJsonLine(const QByteArray& line, TDictionaryItem& item);

// The Windows-1252 bytes of a field's text in out: empty, or the first
// character that cannot be carried, named with the field's key.
QString AnsiField(const QString& value, const QString& key, QByteArray& out);
