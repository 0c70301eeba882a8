#include "tags/TrailingWord.h"

#include "tags/PlaybackCodes.h"

#include <cstring>
#include <vector>

void FeedTrailingWord(const QByteArray& text, TWordHistoryTarget& target, unsigned char& KeptChar) {
    const char* p = text.constData();
    const void* nul = std::memchr(p, 0, text.size());
    const qsizetype n = nul ? static_cast<const char*>(nul) - p : text.size();

    std::vector<bool> inCode(n, false);
    for (qsizetype i = 0; i < n; ++i)
        if (playback::IsCodeAt(p, i, n)) {
            for (qsizetype k = 0; k < playback::CodeLength; ++k)
                inCode[i + k] = true;
            i += playback::CodeLength - 1;
        }

    qsizetype start = 0;
    while (start < n && inCode[start])
        ++start;
    if (start == n) return;

    // The delimiter is the final character or the final code; the word ends before it.
    const qsizetype last = inCode[n - 1] ? n - 1 - playback::CodeLength : n - 2;
    qsizetype first = last + 1;
    while (first > start && !inCode[first - 1] &&
           target.IsKeywordChar(static_cast<unsigned char>(p[first - 1])))
        --first;

    QByteArray word(p + first, last + 1 - first);
    if (KeptChar != 0 && first == start) {
        word.prepend(static_cast<char>(KeptChar));
        KeptChar = 0;
    }
    if (!word.isEmpty()) target.AddHistoryWord(word);
}
