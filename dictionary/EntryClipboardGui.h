#pragma once
// The entry block on the desktop's clipboard, under its own MIME type, so
// that entries travel between two running copies of the program.
#include <QByteArray>
#include <optional>

namespace EntryClipboardGui {
// Replaces whatever the clipboard held: the block is then its only content.
void Put(const QByteArray& block);
// The block, or nothing when the clipboard offers no entries.
std::optional<QByteArray> Get();
bool HasEntries();
} // namespace EntryClipboardGui
