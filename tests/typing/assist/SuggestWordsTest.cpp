#include "typing/SuggestWords.h"

#include <gtest/gtest.h>

using namespace SuggestWords;

TEST(SuggestWords, KeywordCharacters) {
    struct Case {
        unsigned char c;
        const char* extra;
        bool keyword;
    } cases[] = {{'a', "", true},  {'Z', "", true},  {'7', "", true},  {'_', "", true},
                 {'(', "", false}, {' ', "", false}, {'-', "", false}, {'-', "-#", true},
                 {0xC9, "", true}, {0xE9, "", true}, {0, "", false},   {'.', ".", true},
                 {'#', "-", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsKeywordChar(c.c, QByteArray(c.extra)), c.keyword) << int(c.c) << c.extra;
}

TEST(SuggestWords, LeadingNonKeywordCharactersAreSkipped) {
    struct Case {
        const char* typed;
        const char* extra;
        const char* word;
        int skipped;
    } cases[] = {{"(ad", "", "ad", 1},     {"((ad", "", "ad", 2},  {"ad", "", "ad", 0},
                 {"'(", "", "", 2},        {" (ad", "", "(ad", 0}, {"-ad", "-", "-ad", 0},
                 {"\"(a(d", "", "a(d", 2}, {"", "", "", 0}};
    for (const Case& c : cases) {
        int skipped = -1;
        EXPECT_EQ(SkipLeadingNonKeyword(c.typed, c.extra, skipped), QByteArray(c.word)) << c.typed;
        EXPECT_EQ(skipped, c.skipped) << c.typed;
    }
}
