#pragma once
// "Print to File": a dictionary as plain Windows-1252 text a person can read,
// its own entries only, in keyword order.
#include <QByteArray>
#include <QString>

class TDictionaryList;

// fileName heads the listing; printed is the time of printing as the user
// reads dates and times.
QByteArray PrintListing(const TDictionaryList& list, const QString& fileName,
                        const QString& printed);
