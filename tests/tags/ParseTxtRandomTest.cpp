// Bounded random and hostile inputs: the parser must never crash or hang,
// and always return a well-formed playback text.
#include "TagTestSupport.h"
#include "platform/Keycodes.h"

#include <random>

namespace {

const char* const kPieces[] = {"{",      "}",      "{@",   "@",          "KEY",       "KEYDOWN ",
                               "PAUSE ", "REM ",   "CR",   "DELETELINE", "LEFTBRACE", "INPUT",
                               " ",      "\t",     "\r\n", "\r",         "\x01",      "\x01\x01",
                               "Tab",    "Shift+", "3",    "-1",         ",5",        ".",
                               "\xFF",   "\x7B",   "9999", "NOSPACE",    "DATE",      "TIME"};

QByteArray RandomText(std::mt19937& rng) {
    QByteArray text;
    const int parts = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int i = 0; i < parts; ++i) {
        if (rng() % 4 == 0)
            text.append(static_cast<char>(rng() % 256));
        else
            text.append(kPieces[rng() % std::size(kPieces)]);
    }
    return text;
}

TEST(ParseTxtRandom, AlwaysWellFormed) {
    std::mt19937 rng(20240307);
    for (int round = 0; round < 20000; ++round) {
        const QByteArray text = RandomText(rng);
        for (bool keep : {false, true}) {
            QByteArray stream = text + '\0';
            ParseTextToType(stream, keep);
            ASSERT_TRUE(playback::IsWellFormed(stream)) << text.toHex().constData();
        }
        (void)TextToKeyCode(text);
        (void)KeyCodeToText(static_cast<uint16_t>(rng()));
    }
}

// Deeply nested, unclosed and argument-heavy tags stay linear; a quadratic
// parser would not finish here.
TEST(ParseTxtRandom, HostileNesting) {
    const QByteArray texts[] = {
        QByteArray("{@KEY ").repeated(50000) + QByteArray("}").repeated(50000),
        QByteArray("{@").repeated(200000),
        QByteArray("{@KEY Tab").repeated(30000) + QByteArray(" 9}").repeated(30000),
        QByteArray("{@PAUSE ") + QByteArray(" ").repeated(300000) + "1}",
        QByteArray("{@REM ") + QByteArray("{").repeated(300000),
    };
    for (const QByteArray& text : texts) {
        EXPECT_FALSE(Parse(text).isEmpty());
        EXPECT_FALSE(Parse(text, true).isEmpty());
    }
}

} // namespace
