// The text to type reaches the typing controller without the text-to-type
// box, which used to turn every line end into CR LF on the way.
#include "typing/TypingController.h"

#include <gtest/gtest.h>

namespace {

TEST(TypingController, LineEndsBecomeCrLfAsTheBoxShowedThem) {
    const struct {
        QByteArray text, typed;
    } cases[] = {
        {"one\r\ntwo", "one\r\ntwo"},   {"one\ntwo\n", "one\r\ntwo\r\n"},
        {"one\rtwo", "one\r\ntwo"},     {"\n\r\n\r", "\r\n\r\n\r\n"},
        {"no line end", "no line end"}, {"{@KEY ENTER}\ttab", "{@KEY ENTER}\ttab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TTypingController::NormalizedLineEnds(c.text), c.typed) << c.text.toStdString();
}

} // namespace
