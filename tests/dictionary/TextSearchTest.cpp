// The string search of Find and Search Again, and the Print to File listing.
#include "dictionary/TextSearch.h"
#include "dictionary/DictPrint.h"
#include "tests/dictionary/TestEntries.h"

#include <gtest/gtest.h>

TEST(TextSearch, CaseIsFoldedTheAnsiWayUnlessItMustMatch) {
    const TSearchOptions any{}, exact{true, false};
    EXPECT_EQ(SearchText("Hello World", 0, "world", any), 6);
    EXPECT_EQ(SearchText("Hello World", 0, "world", exact), -1);
    EXPECT_EQ(SearchText("Hello World", 0, "World", exact), 6);
    // Windows-1252 letters fold too: e acute (0xE9) and E acute (0xC9).
    EXPECT_EQ(SearchText("caf\xE9", 0, "CAF\xC9", any), 0);
    EXPECT_EQ(SearchText("caf\xE9", 0, "CAF\xC9", exact), -1);
    // From the start position on; nothing for an empty or too long string.
    EXPECT_EQ(SearchText("abcabc", 1, "abc", any), 3);
    EXPECT_EQ(SearchText("abcabc", 4, "abc", any), -1);
    EXPECT_EQ(SearchText("abc", 0, "", any), -1);
    EXPECT_EQ(SearchText("ab", 0, "abc", any), -1);
    EXPECT_EQ(SearchText("abc", 7, "a", any), -1);
}

TEST(TextSearch, WholeWordsAreBoundedByTextEndsOrNonAlphanumerics) {
    const TSearchOptions whole{false, true};
    EXPECT_EQ(SearchText("cat", 0, "cat", whole), 0);
    EXPECT_EQ(SearchText("cat, concat", 0, "cat", whole), 0);
    EXPECT_EQ(SearchText("concat cat", 0, "cat", whole), 7);
    EXPECT_EQ(SearchText("cats concat", 0, "cat", whole), -1);
    EXPECT_EQ(SearchText("x-cat.", 0, "cat", whole), 2);
    EXPECT_EQ(SearchText("cat_x", 0, "cat", whole), 0); // "_" is not alphanumeric
    EXPECT_EQ(SearchText("\xE9"
                         "cat",
                         0, "cat", whole),
              -1); // a letter of the code page
    EXPECT_EQ(SearchText("cat 2cat cat", 1, "cat", whole), 9);
}

TEST(PrintListing, OwnEntriesInKeywordOrderWithControlCharactersBlanked) {
    TDictionaryList list;
    AddEntries(list, {{"zeta", "last\r\nline\ttab", ""},
                      {"alpha",
                       "page\x0C"
                       "break\x01",
                       "First one"},
                      {"mid", "", "empty text"}});
    auto* linked = NewItem({"linked", "never printed", "from elsewhere"});
    linked->SetLinked(1);
    ASSERT_GE(list.Add(linked), 0);
    const QByteArray expected = "File: /tmp/own.bxd\r\n"
                                "Printed: 07/12/2026 12:00:00\r\n"
                                "\r\n\r\nKEYWORD: alpha\r\nDESCRIPTION: First one\r\npage break "
                                "\r\n\r\nKEYWORD: mid\r\nDESCRIPTION: empty text\r\n"
                                "\r\n\r\nKEYWORD: zeta\r\nDESCRIPTION: \r\nlast\r\nline\ttab";
    EXPECT_EQ(PrintListing(list, "/tmp/own.bxd", "07/12/2026 12:00:00"), expected);
}
