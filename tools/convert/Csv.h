#pragma once
// Comma-separated values as RFC 4180 has them: fields quoted with double
// quotes when they hold a comma, a quote or a line break, quotes doubled
// inside. Records may end in CR LF, LF or CR.
#include <QList>
#include <QString>
#include <QStringList>

struct TCsvRecord {
    int line = 0; // where the record begins, from 1
    QStringList fields;
    QString problem; // why the record cannot be trusted; fields then partial
};

namespace Csv {
// Every record of the text; blank lines are skipped. Never fails as a whole:
// a bad record carries its problem and reading goes on at the next line.
QList<TCsvRecord> Read(const QString& text);

// One record with its CR LF.
QString Record(const QStringList& fields);
} // namespace Csv
