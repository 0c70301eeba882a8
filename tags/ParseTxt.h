#pragma once
// The tag parser: turns a text to type into the playback text that the hook
// library types. Texts are Windows-1252 and, like the memory streams they
// travel in, end with one NUL byte.
//
// Playback mode converts every tag; display mode (KeepPlaybackTags) converts
// only REM, CR, the dates and times and DELETELINE, and leaves KEY, KEYDOWN,
// KEYUP, PAUSE, LEFTBRACE, RIGHTBRACE and NOSPACE as written for a later
// playback run. A malformed or unknown tag is typed literally.
#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// What the most recent non-empty parse saw. One set for the whole program:
// runs never overlap, and callers read the flags right after a run.
struct TParserFlags {
    bool DeleteLineSeen = false;
    bool KeysSeen = false;
    bool PauseSeen = false;
    bool NoSpaceSeen = false;
};
const TParserFlags& ParserFlags();

// stream: text followed by a NUL (one is added when missing). Replaced by the
// converted text and its NUL. Fewer than two bytes are left alone, and so are
// the flags.
void ParseTextToType(QByteArray& stream, bool KeepPlaybackTags);

// The stream holds at least two bytes and the last run produced key or pause codes.
bool HasPlaybackCodes(const QByteArray& stream);
bool NoSpaceRequested();

// Bytes taken by the seconds-pause codes at the start of a playback text.
qsizetype LeadingPauseLength(const QByteArray& text);

// Drops every line (with its own CR LF) that holds the marker "{@DELETELINE}".
// input ends with its NUL, and so does output.
void RemoveDeletedLines(const QByteArray& input, QByteArray& output);

// The "}" that closes the "{" at p (braces nest), or -1 when the text, or
// its first NUL, ends first.
qsizetype FindMatchingBrace(QByteArrayView text, qsizetype p);
qsizetype FindMatchingBrace(QStringView text, qsizetype p);

// The first "{@INPUT" (any letter case) followed by at least one more
// character, or -1.
qsizetype FindFirstInputTag(QByteArrayView text);
qsizetype FindFirstInputTag(QStringView text);

// Regional formats and clock for the date, time and pause tags. Unset members
// mean the user's system locale and the current time; tests pin them.
struct TTagEnvironment {
    std::optional<QLocale> locale;
    std::optional<QDateTime> now;
};
void SetTagEnvironment(const TTagEnvironment& environment);
