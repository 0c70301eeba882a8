#pragma once
// Builds a dictionary from JSON Lines in the dump format, naming the line of
// every entry it refuses.
#include "dictionary/DictList.h"

#include <QByteArray>
#include <QStringList>

// Returns the problems found, one per refused line; the list holds the
// accepted entries either way.
QStringList ReadEntryLines(const QByteArray& input, TDictionaryList& list);
