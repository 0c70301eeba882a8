#include "shell/QtKeys.h"

#include "platform/Ansi.h"
#include "platform/KeyboardLayout.h"
#include "platform/VirtualKeys.h"

#include <array>
#include <utility>

namespace {
// Keys that are not characters, both ways.
constexpr std::array<std::pair<uint8_t, int>, 16> kCommandKeys{{
    {vk::Back, Qt::Key_Backspace},
    {vk::Tab, Qt::Key_Tab},
    {vk::Return, Qt::Key_Return},
    {vk::Escape, Qt::Key_Escape},
    {vk::Space, Qt::Key_Space},
    {vk::Prior, Qt::Key_PageUp},
    {vk::Next, Qt::Key_PageDown},
    {vk::End, Qt::Key_End},
    {vk::Home, Qt::Key_Home},
    {vk::Left, Qt::Key_Left},
    {vk::Up, Qt::Key_Up},
    {vk::Right, Qt::Key_Right},
    {vk::Down, Qt::Key_Down},
    {vk::Insert, Qt::Key_Insert},
    {vk::Delete, Qt::Key_Delete},
    {vk::Pause, Qt::Key_Pause},
}};

uint16_t ModifierBits(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? shortcut::Shift : 0) |
           (m & Qt::ControlModifier ? shortcut::Ctrl : 0) |
           (m & Qt::AltModifier ? shortcut::Alt : 0);
}
} // namespace

namespace QtKeys {

int QtKeyForVk(uint8_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
    if (key >= vk::F1 && key <= vk::F24) return Qt::Key_F1 + (key - vk::F1);
    for (const auto& [v, q] : kCommandKeys)
        if (v == key) return q;
    return 0;
}

QString TextForVk(uint8_t key) {
    if (key >= '0' && key <= '9') return QString(QChar(key));
    if (key >= 'A' && key <= 'Z') return QString(QChar(key + ('a' - 'A')));
    switch (key) {
    case vk::Back:
        return QStringLiteral("\b");
    case vk::Tab:
        return QStringLiteral("\t");
    case vk::Return:
        return QStringLiteral("\r");
    case vk::Escape:
        return QString(QChar(0x1B));
    case vk::Space:
        return QStringLiteral(" ");
    default:
        return QString();
    }
}

bool CodeForKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text,
                     uint16_t& code) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return false;
    case Qt::Key_CapsLock:
        code = vk::Capital | ModifierBits(modifiers);
        return true;
    case Qt::Key_NumLock:
        code = vk::NumLock | ModifierBits(modifiers);
        return true;
    case Qt::Key_Enter:
        qtKey = Qt::Key_Return;
        break;
    case Qt::Key_Backtab:
        qtKey = Qt::Key_Tab;
        modifiers |= Qt::ShiftModifier;
        break;
    default:
        break;
    }
    for (const auto& [v, q] : kCommandKeys)
        if (q == qtKey) {
            code = v | ModifierBits(modifiers);
            return true;
        }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        code = static_cast<uint16_t>(vk::F1 + (qtKey - Qt::Key_F1)) | ModifierBits(modifiers);
        return true;
    }
    const bool letterOrDigit =
        (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9);
    // With Ctrl or Alt the event's text is a control character or nothing:
    // the key itself is what counts. AltGr alone is a character of the layout.
    const bool command = (modifiers & Qt::ControlModifier) != (modifiers & Qt::AltModifier) ||
                         text.isEmpty() || text.at(0).unicode() < 32;
    if (letterOrDigit && command) {
        code = static_cast<uint16_t>(qtKey) | ModifierBits(modifiers);
        return true;
    }
    if (text.size() != 1 || text.at(0).unicode() < 32) return false;
    const unsigned char c = Ansi::CharFromUnicode(text.at(0));
    uint8_t key = 0, state = 0;
    if (c == 0 || !CurrentKeyboardLayout()->KeyForChar(c, key, state)) return false;
    code = key | (state & layoutshift::Shift ? shortcut::Shift : 0) |
           (state & layoutshift::Ctrl ? shortcut::Ctrl : 0) |
           (state & layoutshift::Alt ? shortcut::Alt : 0);
    return true;
}

} // namespace QtKeys
