#include "tags/KeyRecording.h"

#include "platform/Keycodes.h"
#include "platform/VirtualKeys.h"

namespace {
constexpr qint64 kRepeatMs = 10;

// The left and right keys count as the modifier itself.
uint8_t PlainModifier(uint8_t key) {
    switch (key) {
    case 0xA0:
    case 0xA1:
        return vk::Shift;
    case 0xA2:
    case 0xA3:
        return vk::Control;
    case 0xA4:
    case 0xA5:
        return vk::Menu;
    default:
        return key;
    }
}

uint16_t OwnBit(uint8_t key) {
    switch (key) {
    case vk::Shift:
        return shortcut::Shift;
    case vk::Control:
        return shortcut::Ctrl;
    case vk::Menu:
        return shortcut::Alt;
    default:
        return 0;
    }
}
} // namespace

void TKeyRecording::Record(uint16_t code) {
    buffer_.append(static_cast<char>(code >> 8));
    buffer_.append(static_cast<char>(code & 0xFF));
}

void TKeyRecording::OnKey(uint16_t code, bool release, qint64 tick, uint32_t foreground) {
    const uint16_t previous = last_;
    last_ = code;
    const uint8_t key = PlainModifier(shortcut::Key(code));
    code = static_cast<uint16_t>((code & ~shortcut::KeyMask) | key);
    // Held modifiers are written as down and up; a press carries its own bit,
    // a release does not, whatever the hook reported as held.
    if (release) {
        if (!OwnBit(key)) return;
        code &= ~OwnBit(key);
    } else {
        code |= OwnBit(key);
    }
    const bool tooSoon = ticked_ && tick - lastTick_ < kRepeatMs;
    lastTick_ = tick;
    ticked_ = true;
    if (tooSoon) return;
    if (foreground != foreground_ && foreground_ != 0) {
        if (PlainModifier(shortcut::Key(previous)) == vk::Menu) Record(vk::Tab);
        Record(0);
    }
    foreground_ = foreground;
    Record(code);
    ++count_;
}

QString TKeyRecording::ToText(const QByteArray& buffer) {
    QString text;
    uint16_t held = 0;
    for (qsizetype i = 0; i + 1 < buffer.size(); i += 2) {
        const uint16_t code = static_cast<uint16_t>((static_cast<uint8_t>(buffer[i]) << 8) |
                                                    static_cast<uint8_t>(buffer[i + 1]));
        const uint8_t key = shortcut::Key(code);
        if (key == vk::NumLock) continue;
        if (code == 0) {
            text += QStringLiteral("{@PAUSE}");
            continue;
        }
        if (const uint16_t bit = OwnBit(key)) {
            const bool down = code & bit;
            const char* name = key == vk::Shift ? "Shift" : key == vk::Control ? "Ctrl" : "Alt";
            text +=
                QStringLiteral("{@KEY%1 %2}")
                    .arg(down ? QStringLiteral("DOWN") : QStringLiteral("UP"), QLatin1String(name));
            held = down ? (held | bit) : (held & ~bit);
            continue;
        }
        const QString name = QString::fromLatin1(KeyCodeToText(code & ~held));
        if (name == QLatin1String("Space"))
            text += QLatin1Char(' ');
        else if (name.size() == 1)
            text += name.toLower();
        else
            text += QStringLiteral("{@KEY ") + name + QLatin1Char('}');
    }
    return text;
}
