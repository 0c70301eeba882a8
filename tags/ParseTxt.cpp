#include "tags/ParseTxt.h"

#include "tags/PlaybackCodes.h"
#include "tags/TagRules.h"

#include <cstring>
#include <vector>

namespace {

TParserFlags gFlags;

// The matching "}" of every "{" of a text, found in one pass, so that a text
// full of unclosed braces costs linear time. Bytes of a control code are not
// braces: a key whose code byte happens to be "{" or "}" stays intact.
class TBraceIndex {
public:
    TBraceIndex(const char* p, qsizetype end) {
        std::vector<size_t> open;
        for (qsizetype i = 0; i < end; ++i) {
            if (playback::IsCodeAt(p, i, end)) {
                i += playback::CodeLength - 1;
            } else if (p[i] == '{') {
                open.push_back(positions_.size());
                positions_.push_back(i);
                matches_.push_back(-1);
            } else if (p[i] == '}' && !open.empty()) {
                matches_[open.back()] = i;
                open.pop_back();
            }
        }
    }

    // Queried at increasing positions only.
    qsizetype MatchOf(qsizetype position) {
        while (cursor_ < positions_.size() && positions_[cursor_] < position)
            ++cursor_;
        if (cursor_ < positions_.size() && positions_[cursor_] == position)
            return matches_[cursor_];
        return -1;
    }

private:
    std::vector<qsizetype> positions_, matches_;
    size_t cursor_ = 0;
};

bool IsPlain(char c) {
    return c != '{' && c != playback::Lead;
}

} // namespace

const TParserFlags& ParserFlags() {
    return gFlags;
}

void ParseTextToType(QByteArray& stream, bool KeepPlaybackTags) {
    if (stream.size() < 2) return;
    gFlags = TParserFlags();

    const char* p = stream.constData();
    const void* nul = std::memchr(p, 0, stream.size());
    const qsizetype end = nul ? static_cast<const char*>(nul) - p : stream.size();
    std::optional<TBraceIndex> braces;
    TTagConverter tags(KeepPlaybackTags, gFlags);

    QByteArray out;
    out.reserve(end + 1);
    qsizetype i = 0;
    while (i < end) {
        qsizetype run = i;
        while (run < end && IsPlain(p[run]))
            ++run;
        out.append(p + i, run - i);
        i = run;
        if (i == end) break;

        if (p[i] == playback::Lead) {
            // A code that came in with the text passes whole; a cut-off one is dropped.
            if (playback::IsCodeAt(p, i, end)) {
                out.append(p + i, playback::CodeLength);
                i += playback::CodeLength;
            } else {
                ++i;
            }
            continue;
        }

        // A "{": a tag when "@" follows and it is closed and known, else a literal brace.
        if (i + 1 < end && p[i + 1] == '@') {
            if (!braces) braces.emplace(p, end);
            const qsizetype close = braces->MatchOf(i);
            if (close > i && tags.Convert(QByteArrayView(p + i + 2, close - i - 2), out)) {
                i = close + 1;
                continue;
            }
        }
        out.append('{');
        ++i;
    }
    out.append('\0');

    if (gFlags.DeleteLineSeen)
        RemoveDeletedLines(out, stream);
    else
        stream = std::move(out);
}

bool HasPlaybackCodes(const QByteArray& stream) {
    return stream.size() >= 2 && (gFlags.KeysSeen || gFlags.PauseSeen);
}

bool NoSpaceRequested() {
    return gFlags.NoSpaceSeen;
}
