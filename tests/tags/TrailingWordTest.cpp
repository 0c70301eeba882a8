#include "tags/TrailingWord.h"
#include "TagTestSupport.h"

#include <QByteArrayList>

namespace {

class TRecorder : public TWordHistoryTarget {
public:
    bool IsKeywordChar(unsigned char c) const override {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    }
    void AddHistoryWord(const QByteArray& word) override { words.append(word); }
    QByteArrayList words;
};

TEST(FeedTrailingWord, FindsTheWordBeforeTheDelimiter) {
    const QByteArray bksp = Press(8).repeated(3);
    const struct {
        const char* what;
        QByteArray text;
        unsigned char kept;
        QByteArray word; // empty: nothing added
        unsigned char keptAfter;
    } cases[] = {
        {"after erasing codes", bksp + "say hello ", 0, "hello", 0},
        {"delimiter as a code", bksp + "hello" + Press(13), 0, "hello", 0},
        {"terminated", QByteArray("foo bar.\0", 9), 0, "bar", 0},
        {"kept character in front", bksp + "ello ", 'h', "hello", 0},
        {"kept character only at the start", bksp + "say ello ", 'h', "ello", 'h'},
        {"kept character, one-letter expansion", bksp + " ", 'a', "a", 0},
        {"no word", "foo .", 0, "", 0},
        {"code bytes are no letters", "ab" + Press('b' - 32, 0x40) + ".", 0, "", 0},
        {"word after a code", "x" + Press(9) + "abc.", 0, "abc", 0},
        {"only codes", bksp, 'h', "", 'h'},
        {"empty", "", 0, "", 0},
    };
    for (const auto& c : cases) {
        TRecorder recorder;
        unsigned char kept = c.kept;
        FeedTrailingWord(c.text, recorder, kept);
        EXPECT_EQ(recorder.words, c.word.isEmpty() ? QByteArrayList() : QByteArrayList{c.word})
            << c.what;
        EXPECT_EQ(kept, c.keptAfter) << c.what;
    }
}

} // namespace
