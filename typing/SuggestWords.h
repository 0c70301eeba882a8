#pragma once
// Word rules the suggestion list shares with the auto-replace engine: what
// counts as a keyword character, and which leading characters of a typed
// word are not part of the keyword. (Capitals carry over by MatchCase.)
// Windows-1252 bytes throughout.
#include <QByteArray>

namespace SuggestWords {

// Alphanumeric, "_", or one of extraChars (kept lower-cased, as "AlphaChars").
bool IsKeywordChar(unsigned char c, const QByteArray& extraChars);

// The leading characters that are neither keyword characters nor spaces,
// up to the first keyword character, space or NUL, become spaces; the result
// is trimmed. skipped receives how many were replaced.
QByteArray SkipLeadingNonKeyword(const QByteArray& typed, const QByteArray& extraChars,
                                 int& skipped);

} // namespace SuggestWords
