#pragma once
// The rules every entry operation shares (the entry editor, paste, the file
// shortcut dialog and the script commands): which entries may be added,
// changed or removed, and whether a keyword or a shortcut code is already
// taken.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

class TDictionarySession;
class TDictionaryItem;

// Tells the user why a check failed; an empty one keeps the check silent.
using TTellUser = std::function<void(const QString& message)>;

// The file's own read-only mark (no owner write permission), or no write
// access for this user. A missing file is not read-only.
bool FileIsReadOnly(const QString& path);
// Why a read-only file cannot be changed, and what to do about it.
QString FileReadOnlyMsg(const QString& path);

// The Add command applies: a dictionary is open in a tab (inTab), and
// neither its header nor its file is marked read-only.
bool CanAdd(const TDictionarySession& session, bool inTab);
// An entry may be removed, or changed in place: it exists, is neither
// read-only nor linked, and the open file is not read-only.
bool CanRemove(const TDictionarySession& session, const TDictionaryItem* item);

// The entry editor's limit, which entries brought in from elsewhere keep too.
inline constexpr int kKeywordMaxChars = 32;
// Empty when the keyword (before trimming) may stand for an entry, else why
// not: blank, or longer than kKeywordMaxChars once trimmed.
QString KeywordProblem(const QByteArray& keyword);

// True when the trimmed keyword belongs to an entry other than row (-1
// excludes none).
bool CheckKeyword(const TDictionarySession& session, int row, const QByteArray& keyword,
                  const TTellUser& tell = {});
// True when code is the program's hot key or the shortcut of an entry with
// another keyword; code 0 never conflicts. Rebuilds the session's shortcut
// index first, so that changes made since the last grid refresh count.
bool CheckShortcut(TDictionarySession& session, uint16_t hotKey, const QByteArray& keyword,
                   uint16_t code, const TTellUser& tell = {});
