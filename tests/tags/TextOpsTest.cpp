#include "tags/ParseTxt.h"

#include <gtest/gtest.h>

namespace {

TEST(FindMatchingBrace, CountsNestedBraces) {
    const struct {
        QByteArray text;
        qsizetype from, result;
    } cases[] = {
        {"{a{b}c}d", 0, 6},
        {"{a{b}c}d", 2, 4},
        {"{a{b}c", 0, -1},
        {"x{}", 1, 2},
        {"{}}", 0, 1},
        {"x{}", 0, -1},
        {QByteArray("{a\0}", 4), 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindMatchingBrace(c.text, c.from), c.result) << c.text.constData();
        EXPECT_EQ(FindMatchingBrace(QString::fromLatin1(c.text), c.from), c.result);
    }
}

TEST(FindFirstInputTag, NeedsInputAndOneMoreCharacter) {
    const struct {
        QByteArray text;
        qsizetype result;
    } cases[] = {
        {"abc {@input x}", 4},
        {"{@REM}{@Input}", 6},
        {"{@INPUTX", 0},
        {"{@INPUT", -1},
        {QByteArray("{@INPUT\0x", 9), -1},
        {"{@INPU x}", -1},
        {"{ @INPUT x}", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindFirstInputTag(c.text), c.result) << c.text.constData();
        EXPECT_EQ(FindFirstInputTag(QString::fromLatin1(c.text)), c.result);
    }
}

TEST(RemoveDeletedLines, ShortInputIsCopied) {
    QByteArray out = "stale";
    RemoveDeletedLines(QByteArray("{@DELETELINE", 13), out);
    EXPECT_EQ(out, QByteArray("{@DELETELINE", 13));
}

TEST(RemoveDeletedLines, RemovedLastLineKeepsTerminator) {
    QByteArray out;
    RemoveDeletedLines(QByteArray("a\r\nb {@DELETELINE}\0", 20), out);
    EXPECT_EQ(out, QByteArray("a\r\n\0", 4));
}

} // namespace
