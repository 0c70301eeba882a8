// The small text operations the tag module shares with its callers.
#include "tags/ParseTxt.h"

#include "tags/PlaybackCodes.h"

namespace {

constexpr QByteArrayView kDeleteLineMarker = "{@DELETELINE}";

char16_t Unit(QByteArrayView text, qsizetype i) {
    return static_cast<unsigned char>(text[i]);
}
char16_t Unit(QStringView text, qsizetype i) {
    return text[i].unicode();
}

template <typename View> qsizetype MatchingBrace(View text, qsizetype p) {
    if (p < 0 || p >= text.size() || Unit(text, p) != '{') return -1;
    int depth = 0;
    for (qsizetype i = p; i < text.size(); ++i) {
        const char16_t c = Unit(text, i);
        if (c == 0) break;
        if (c == '{') ++depth;
        if (c == '}' && --depth < 1) return i;
    }
    return -1;
}

template <typename View> qsizetype FirstInputTag(View text) {
    static constexpr char kInput[] = "INPUT";
    qsizetype end = 0;
    while (end < text.size() && Unit(text, end) != 0)
        ++end;
    // "{@", five letters, and one more character.
    for (qsizetype i = 0; i + 7 < end; ++i) {
        if (Unit(text, i) != '{' || Unit(text, i + 1) != '@') continue;
        bool match = true;
        for (int k = 0; k < 5 && match; ++k) {
            char16_t c = Unit(text, i + 2 + k);
            if (c >= 'a' && c <= 'z') c -= 32;
            match = c == kInput[k];
        }
        if (match) return i;
    }
    return -1;
}

} // namespace

qsizetype FindMatchingBrace(QByteArrayView text, qsizetype p) {
    return MatchingBrace(text, p);
}
qsizetype FindMatchingBrace(QStringView text, qsizetype p) {
    return MatchingBrace(text, p);
}
qsizetype FindFirstInputTag(QByteArrayView text) {
    return FirstInputTag(text);
}
qsizetype FindFirstInputTag(QStringView text) {
    return FirstInputTag(text);
}

qsizetype LeadingPauseLength(const QByteArray& text) {
    qsizetype n = 0;
    while (n + 2 < text.size() && text[n] == playback::Lead &&
           static_cast<uint8_t>(text[n + 1]) == playback::KindSeconds && text[n + 2] != 0)
        n += playback::CodeLength;
    return n;
}

void RemoveDeletedLines(const QByteArray& input, QByteArray& output) {
    output.clear();
    if (input.size() <= kDeleteLineMarker.size()) {
        output = input;
        return;
    }
    output.reserve(input.size());
    qsizetype start = 0;
    while (start < input.size()) {
        const qsizetype crlf = input.indexOf("\r\n", start);
        const qsizetype next = crlf < 0 ? input.size() : crlf + 2;
        const QByteArrayView line(input.constData() + start, next - start);
        if (!line.contains(kDeleteLineMarker))
            output.append(line);
        else if (next == input.size())
            output.append('\0'); // the removed last line held the terminator
        start = next;
    }
}
