#pragma once
// The block in which entries travel between dictionaries and between running
// copies of the program: a signed 32-bit count N, N version-7 entry records,
// and a 32-bit zero end mark that readers ignore. Little-endian throughout.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class TDictionaryItem;

namespace EntryClipboard {

// The registered format's name and the MIME type that carries it on X11.
inline constexpr char FormatName[] = "Brevix Dictionary Entry 7";
inline constexpr char MimeType[] = "application/x-brevix-entry-7";

// The block for the entries, in order; empty (with the reason in problem)
// when one of them cannot be written, so that nothing partial is offered.
QByteArray Encode(const std::vector<const TDictionaryItem*>& items, QString* problem = nullptr);

struct TDecoded {
    std::vector<std::unique_ptr<TDictionaryItem>> Items;
    // The records the block announced, 0 for a block of 4 bytes or fewer.
    qint64 Declared = 0;
    // Empty when every announced record was read, else why reading stopped.
    QString Problem;
};

// Reads what the block holds: every length is checked against the block, and
// the records read before a damaged or missing one are kept.
TDecoded Decode(const QByteArray& block);

} // namespace EntryClipboard
