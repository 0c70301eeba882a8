#include "tags/TagRules.h"

#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "tags/PlaybackCodes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

enum class TTag {
    Rem,
    Key,
    KeyDown,
    KeyUp,
    Pause,
    Cr,
    LongDate,
    ShortDate,
    LongTime,
    ShortTime,
    LeftBrace,
    RightBrace,
    NoSpace,
    DeleteLine
};

struct TTagName {
    QByteArrayView name;
    TTag tag;
    bool playbackOnly;
};

// In the order they are tried.
constexpr TTagName kTags[] = {
    {"REM", TTag::Rem, false},
    {"KEY", TTag::Key, true},
    {"KEYDOWN", TTag::KeyDown, true},
    {"KEYUP", TTag::KeyUp, true},
    {"PAUSE", TTag::Pause, true},
    {"CR", TTag::Cr, false},
    {"LONGDATE", TTag::LongDate, false},
    {"SHORTDATE", TTag::ShortDate, false},
    {"LONGTIME", TTag::LongTime, false},
    {"SHORTTIME", TTag::ShortTime, false},
    {"LEFTBRACE", TTag::LeftBrace, true},
    {"RIGHTBRACE", TTag::RightBrace, true},
    {"NOSPACE", TTag::NoSpace, true},
    {"DELETELINE", TTag::DeleteLine, false},
};

// Longer arguments cannot name a key or hold a sensible number; refusing them
// early keeps nested malformed tags from costing quadratic time.
constexpr qsizetype kMaxArgument = 64;
constexpr int kMaxRepeat = 100;
// Longer pauses are split into several seconds codes up to this total.
constexpr double kMaxPauseSeconds = 3600;

TTagEnvironment gEnvironment;

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool NameMatches(QByteArrayView body, QByteArrayView name) {
    if (body.size() < name.size()) return false;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (Ansi::UpperChar(static_cast<unsigned char>(body[i])) != name[i]) return false;
    return body.size() == name.size() || IsSeparator(body[name.size()]);
}

QByteArrayView Trimmed(QByteArrayView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Optional sign and decimal digits, nothing else; huge values saturate.
std::optional<long long> ReadInteger(QByteArrayView s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        value = std::min<long long>(value * 10 + (s[i] - '0'), std::numeric_limits<int>::max());
    }
    return negative ? -value : value;
}

uint16_t KeyCodeOf(QByteArrayView name) {
    if (name.isEmpty() || name.size() > kMaxArgument) return 0;
    return TextToKeyCode(Ansi::Upper(name.toByteArray()));
}

// "{@KEY name [count]}": the key press code, count times (1 to 100).
bool ConvertKey(QByteArrayView argument, QByteArray& out) {
    const QByteArrayView trimmed = Trimmed(argument);
    const qsizetype space = trimmed.first(std::min(trimmed.size(), kMaxArgument + 1)).indexOf(' ');
    const QByteArrayView name = space < 0 ? trimmed : trimmed.first(space);
    const QByteArray code = EncodeKeyInText(KeyCodeOf(name));
    if (code.isEmpty()) return false;
    long long count = 1;
    if (space >= 0) count = ReadInteger(Trimmed(trimmed.sliced(space))).value_or(1);
    count = std::clamp<long long>(count, 1, kMaxRepeat);
    for (long long i = 0; i < count; ++i)
        out += code;
    return true;
}

// "{@KEYDOWN name}", "{@KEYUP name}": one code of the given kind.
bool ConvertKeyState(QByteArrayView argument, uint8_t kind, QByteArray& out) {
    const uint16_t code = KeyCodeOf(Trimmed(argument));
    const auto key = static_cast<uint8_t>(code & 0xFF);
    if (code == 0 || key == 0xFF) return false;
    const auto modifiers = static_cast<uint8_t>((code >> 8) & playback::ModifierBits);
    out += playback::Code(static_cast<uint8_t>(modifiers + kind), key);
    return true;
}

void AppendPause(double value, QByteArray& out) {
    long long seconds = static_cast<long long>(std::floor(value));
    long long millis = std::lround((value - static_cast<double>(seconds)) * 1000.0);
    do {
        const long long chunk = std::min<long long>(seconds, playback::MaxSeconds);
        out += playback::Code(playback::KindSeconds, static_cast<uint8_t>(chunk));
        seconds -= chunk;
    } while (seconds > 0);
    while (millis > 0) {
        const long long chunk = std::min<long long>(millis, playback::MaxMilliseconds);
        out += playback::Code(playback::KindMilliseconds, static_cast<uint8_t>(chunk));
        millis -= chunk;
    }
}

} // namespace

void SetTagEnvironment(const TTagEnvironment& environment) {
    gEnvironment = environment;
}

const QLocale& TTagConverter::Locale() {
    if (!locale_) locale_ = gEnvironment.locale.value_or(QLocale::system());
    return *locale_;
}

// 0 long date, 1 short date, 2 long time, 3 short time, as in TTag.
const QByteArray& TTagConverter::Regional(int format) {
    std::optional<QByteArray>& text = regional_[format];
    if (!text) {
        if (!now_) now_ = gEnvironment.now.value_or(QDateTime::currentDateTime());
        const auto length = format % 2 == 0 ? QLocale::LongFormat : QLocale::ShortFormat;
        text = Ansi::FromUnicode(format < 2 ? Locale().toString(now_->date(), length)
                                            : Locale().toString(now_->time(), length));
    }
    return *text;
}

// The user's decimal separator; a full stop is understood too, so that texts
// written under another locale keep their pauses.
double TTagConverter::ReadPauseSeconds(QByteArrayView argument) {
    const QByteArrayView trimmed = Trimmed(argument);
    if (trimmed.isEmpty() || trimmed.size() > kMaxArgument) return 1.0;
    const QString text = QString::fromLatin1(trimmed);
    if (!numberLocale_) {
        numberLocale_ = Locale();
        numberLocale_->setNumberOptions(QLocale::RejectGroupSeparator);
    }
    bool ok = false;
    double value = numberLocale_->toDouble(text, &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(text, &ok);
    }
    if (!ok || !std::isfinite(value) || value < 0) return 1.0;
    return std::min(value, kMaxPauseSeconds);
}

bool TTagConverter::Convert(QByteArrayView body, QByteArray& out) {
    const auto found = std::find_if(std::begin(kTags), std::end(kTags), [&](const TTagName& t) {
        return !(keep_ && t.playbackOnly) && NameMatches(body, t.name);
    });
    if (found == std::end(kTags)) return false;
    const qsizetype nameLength = found->name.size();
    // Exactly one separator follows the name.
    const QByteArrayView argument =
        body.size() > nameLength ? body.sliced(nameLength + 1) : QByteArrayView();

    switch (found->tag) {
    case TTag::Rem:
        return true;
    case TTag::Key:
        flags_.KeysSeen = true;
        return body.size() == nameLength || ConvertKey(argument, out);
    case TTag::KeyDown:
    case TTag::KeyUp:
        flags_.KeysSeen = true;
        return body.size() == nameLength ||
               ConvertKeyState(argument,
                               found->tag == TTag::KeyDown ? playback::KindDown : playback::KindUp,
                               out);
    case TTag::Pause:
        flags_.PauseSeen = true;
        AppendPause(body.size() == nameLength ? 1.0 : ReadPauseSeconds(argument), out);
        return true;
    case TTag::Cr:
        out += "\r\n";
        return true;
    case TTag::LongDate:
    case TTag::ShortDate:
    case TTag::LongTime:
    case TTag::ShortTime:
        out += Regional(static_cast<int>(found->tag) - static_cast<int>(TTag::LongDate));
        return true;
    case TTag::LeftBrace:
        out += '{';
        return true;
    case TTag::RightBrace:
        out += '}';
        return true;
    case TTag::NoSpace:
        flags_.NoSpaceSeen = true;
        return true;
    case TTag::DeleteLine:
        flags_.DeleteLineSeen = true;
        out += "{@DELETELINE}";
        return true;
    }
    return false;
}
