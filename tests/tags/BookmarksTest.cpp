#include "tags/Bookmarks.h"

#include <gtest/gtest.h>

namespace {

TEST(Bookmarks, KeepTheCaretWhileTheTextIsRewritten) {
    QString text = "hello world";
    qsizetype caret = 6;
    const uint32_t first = InsertBookmark(text, caret);
    EXPECT_EQ(text, "hello " + BookmarkMarker(first) + "world");
    EXPECT_EQ(caret, 6 + BookmarkMarker(first).size());
    const uint32_t second = InsertBookmark(text, caret);
    EXPECT_EQ(second, first + 1);

    // Rewriting around the markers, even in another letter case, keeps them findable.
    text = ">> " + text.toLower();
    EXPECT_TRUE(FindBookmark(text, caret, first));
    EXPECT_EQ(caret, 9);
    EXPECT_TRUE(FindBookmark(text, caret, second));
    EXPECT_EQ(caret, 9);
    EXPECT_EQ(text, ">> hello world");

    EXPECT_FALSE(FindBookmark(text, caret, second));
    EXPECT_EQ(caret, 0);
    EXPECT_EQ(text, ">> hello world");
}

TEST(Bookmarks, CaretOutsideTheTextIsClamped) {
    QString text = "ab";
    qsizetype caret = 99;
    const uint32_t n = InsertBookmark(text, caret);
    EXPECT_EQ(text, "ab" + BookmarkMarker(n));
    EXPECT_EQ(caret, text.size());
}

} // namespace
