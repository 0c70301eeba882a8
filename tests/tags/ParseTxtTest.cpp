#include "TagTestSupport.h"

namespace {

QByteArray Times(const QByteArray& s, int n) {
    return s.repeated(n);
}

// A fixed day and a locale whose four formats all differ.
const QDateTime kNow(QDate(2024, 3, 7), QTime(14, 5, 9));
const QLocale kGerman(QLocale::German, QLocale::Germany);

class ParseTxt : public ::testing::Test {
protected:
    void SetUp() override { SetTagEnvironment({kGerman, kNow}); }
    void TearDown() override { SetTagEnvironment({}); }
    static QByteArray Format(const QString& s) { return s.toLatin1(); }
};

struct TCase {
    const char* what;
    QByteArray in, out;
};

TEST_F(ParseTxt, PlaybackMode) {
    const TCase cases[] = {
        {"plain", "abc def", "abc def"},
        {"comment", "a{@REM hello}b", "ab"},
        {"nested comment", "{@REM a {nested} remark}x", "x"},
        {"unclosed comment", "{@REM unbalanced {", "{@REM unbalanced {"},
        {"key, any case", "{@key enter}", Press(13)},
        {"key with modifiers", "{@KEY Ctrl+Shift+Home}", Press(36, 0x60)},
        {"key by character", "{@KEY !}", Press('1', 0x20)},
        {"modifier alone", "{@KEY Shift}", Press(0, 0x20)},
        {"repeat", "{@KEY Tab 3}", Times(Press(9), 3)},
        {"repeat padded", "{@KEY   Tab   2  }", Times(Press(9), 2)},
        {"repeat capped", "{@KEY Tab 500}", Times(Press(9), 100)},
        {"repeat unreadable", "{@KEY Tab x}", Press(9)},
        {"repeat two words", "{@KEY Tab 2 3}", Press(9)},
        {"repeat negative", "{@KEY Tab -5}", Press(9)},
        {"repeat zero", "{@KEY Tab 0}", Press(9)},
        {"tab separator", "{@KEY\tTab}", Press(9)},
        {"key without name", "a{@KEY}b", "ab"},
        {"unknown key", "{@KEY NoSuchKey}", "{@KEY NoSuchKey}"},
        {"empty key name", "{@KEY }", "{@KEY }"},
        {"key down", "{@KEYDOWN Shift}", Code(0x24, 0)},
        {"key down combined", "{@KEYDOWN Ctrl+A}", Code(0x44, 'A')},
        {"key up", "{@keyup alt}", Code(0x86, 0)},
        {"key down without name", "{@KEYDOWN}", ""},
        {"key up unknown", "{@KEYUP nothing}", "{@KEYUP nothing}"},
        {"pause default", "{@PAUSE}", Seconds(1)},
        {"pause fraction", "{@PAUSE 2,5}", Seconds(2) + Millis(200) + Millis(200) + Millis(100)},
        {"pause below one", "{@PAUSE 0,25}", Seconds(0) + Millis(200) + Millis(50)},
        {"pause full stop", "{@PAUSE 0.25}", Seconds(0) + Millis(200) + Millis(50)},
        {"pause group separator", "{@PAUSE 1.000}", Seconds(1)},
        {"pause negative", "{@PAUSE -3}", Seconds(1)},
        {"pause unreadable", "{@PAUSE soon}", Seconds(1)},
        {"pause long", "{@PAUSE 600}", Seconds(254) + Seconds(254) + Seconds(92)},
        {"pause capped", "{@PAUSE 99999}", Times(Seconds(254), 14) + Seconds(44)},
        {"line break", "a{@CR}b", "a\r\nb"},
        {"argument ignored", "{@CR ignored}", "\r\n"},
        {"braces", "{@LEFTBRACE}x{@RIGHTBRACE}", "{x}"},
        {"no space", "ab{@NOSPACE}", "ab"},
        {"brace without @", "Hello {name} and a { b", "Hello {name} and a { b"},
        {"misspelt name", "{@REMARK x}", "{@REMARK x}"},
        {"input tag left over", "{@INPUT Name}", "{@INPUT Name}"},
        {"unknown tag, inner tag kept working", "{@KEY {@CR}}", "{@KEY \r\n}"},
        {"tag inside a literal brace", "{x{@KEY Tab}}", "{x" + Press(9) + "}"},
        {"stray closing brace", "}{@CR}}", "}\r\n}"},
        {"code passes through", QByteArray("\x01\x01\x7B@REM}", 6),
         QByteArray("\x01\x01\x7B@REM}", 6)},
        {"cut-off code dropped", QByteArray("ab\x01x"), "abx"},
        {"text ends at NUL", QByteArray("ab\0cd", 5), "ab"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Parse(c.in), c.out) << c.what;
}

TEST_F(ParseTxt, DatesAndTimesUseTheRegionalFormats) {
    const QByteArray longDate = Format(kGerman.toString(kNow.date(), QLocale::LongFormat));
    const QByteArray shortDate = Format(kGerman.toString(kNow.date(), QLocale::ShortFormat));
    const QByteArray longTime = Format(kGerman.toString(kNow.time(), QLocale::LongFormat));
    const QByteArray shortTime = Format(kGerman.toString(kNow.time(), QLocale::ShortFormat));
    ASSERT_TRUE(longDate.contains("2024") && shortDate.contains("07") && longTime.contains("09"));
    EXPECT_EQ(Parse("{@LONGDATE}|{@SHORTDATE}|{@LONGTIME}|{@SHORTTIME x}"),
              longDate + "|" + shortDate + "|" + longTime + "|" + shortTime);
}

TEST_F(ParseTxt, DisplayModeKeepsPlaybackTags) {
    const QByteArray longDate = Format(kGerman.toString(kNow.date(), QLocale::LongFormat));
    const QByteArray kept =
        "{@KEY Enter}{@KEYDOWN A}{@KEYUP A}{@PAUSE 2}{@LEFTBRACE}{@RIGHTBRACE}{@NOSPACE}";
    const TCase cases[] = {
        {"key then date", "{@KEY Enter}{@LONGDATE}", "{@KEY Enter}" + longDate},
        {"kept as written", kept, kept},
        {"converted tags", "{@REM x}a{@CR}b", "a\r\nb"},
        {"inner tag of a kept tag", "{@KEY {@CR}}", "{@KEY \r\n}"},
        {"lines still deleted", "a\r\n{@KEY Tab}{@DELETELINE}\r\nb", "a\r\nb"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Parse(c.in, true), c.out) << c.what;
    // The kept tags convert in the later playback run.
    EXPECT_EQ(Parse(Parse("{@KEY Enter}{@CR}", true)), Press(13) + "\r\n");
}

TEST_F(ParseTxt, DeleteLine) {
    const TCase cases[] = {
        {"first line", "a {@DELETELINE} b\r\nmid\r\nlast", "mid\r\nlast"},
        {"middle line, with its other tags", "first\r\nx {@DELETELINE}{@KEY Tab}{@PAUSE}\r\nthird",
         "first\r\nthird"},
        {"last line", "first\r\nsecond{@deleteline}", "first\r\n"},
        {"only line", "{@DELETELINE}", ""},
        {"two lines", "{@DELETELINE}\r\n{@DELETELINE}\r\nc", "c"},
        {"CR alone is no line break", "a\rb{@DELETELINE}\r\nc", "c"},
        {"literal marker kept without the tag", "{@LEFTBRACE}@DELETELINE}", "{@DELETELINE}"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Parse(c.in), c.out) << c.what;
}

TEST_F(ParseTxt, FlagsDescribeTheLastRun) {
    QByteArray stream("a{@KEY}\0", 8);
    ParseTextToType(stream, false);
    EXPECT_TRUE(HasPlaybackCodes(stream));
    EXPECT_FALSE(ParserFlags().PauseSeen);

    Parse("{@PAUSE}{@NOSPACE}");
    EXPECT_TRUE(ParserFlags().PauseSeen);
    EXPECT_FALSE(ParserFlags().KeysSeen);
    EXPECT_TRUE(NoSpaceRequested());

    // An empty text changes nothing, not even the flags.
    QByteArray empty(1, '\0');
    ParseTextToType(empty, false);
    EXPECT_EQ(empty, QByteArray(1, '\0'));
    EXPECT_TRUE(NoSpaceRequested());
    EXPECT_FALSE(HasPlaybackCodes(empty));

    Parse("plain");
    EXPECT_FALSE(NoSpaceRequested());
    EXPECT_FALSE(ParserFlags().PauseSeen);

    // Kept tags are not seen in display mode.
    QByteArray display("{@KEY Enter}{@PAUSE}{@NOSPACE}\0", 31);
    ParseTextToType(display, true);
    EXPECT_FALSE(HasPlaybackCodes(display));
    EXPECT_FALSE(NoSpaceRequested());

    Parse("a{@DELETELINE}");
    EXPECT_TRUE(ParserFlags().DeleteLineSeen);
}

TEST_F(ParseTxt, StreamWithoutTerminatorGetsOne) {
    QByteArray stream("{@CR}");
    ParseTextToType(stream, false);
    EXPECT_EQ(stream, QByteArray("\r\n\0", 3));
}

TEST_F(ParseTxt, LeadingPauseLength) {
    const struct {
        QByteArray text;
        qsizetype length;
    } cases[] = {
        {Parse("{@PAUSE 2}{@PAUSE}abc"), 6},
        {Parse("{@PAUSE 0,5}x"), 3}, // milliseconds codes are not counted
        {Parse("{@PAUSE 600}x"), 9},
        {Parse("x{@PAUSE}"), 0},
        {Parse("{@KEY Tab}{@PAUSE}"), 0},
        {QByteArray("\x01\x02", 2), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingPauseLength(c.text), c.length);
}

} // namespace
