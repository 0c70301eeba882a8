#pragma once
// Reading an import file: bounded in size, never blocking, and decoded as
// UTF-8 with the line of the first bad byte named.
#include <QByteArray>
#include <QString>

namespace InputFile {
// Larger import files are refused whole rather than read into memory.
inline constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

// The whole file in data; false with a message when it cannot be read.
bool Read(const QString& path, QByteArray& data, QString& problem, qint64 maxBytes = kMaxBytes);

// data as UTF-8 (a leading byte-order mark dropped); false with a message
// naming the line of the first byte that is not UTF-8.
bool DecodeUtf8(const QByteArray& data, QString& text, QString& problem);

// 1-based line of a byte offset (lines end at LF).
int LineAt(const QByteArray& data, qsizetype offset);
} // namespace InputFile
