#include "typing/DesktopKeyboardLayout.h"
#include "hook/LayoutSnapshot.h"
#include "platform/Ansi.h"

#include <QString>

std::shared_ptr<TX11KeyboardLayout> TX11KeyboardLayout::Read() {
    auto snapshot = std::make_unique<bxhook::TLayoutSnapshot>();
    if (!bxhook::DesktopLayoutSnapshot(*snapshot)) return nullptr;
    auto layout = std::make_shared<TX11KeyboardLayout>();
    for (int i = 0; i < 256; ++i) {
        layout->vkey_[i] = snapshot->vkey[i];
        layout->shift_[i] = snapshot->shift[i];
        // A name the ANSI code page cannot hold is left out.
        const QString name = QString::fromStdString(snapshot->name[i]);
        if (name.size() == 1)
            if (const unsigned char c = Ansi::CharFromUnicode(name[0]))
                layout->name_[i] = QByteArray(1, static_cast<char>(c));
    }
    return layout;
}

bool TX11KeyboardLayout::KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const {
    if (!vkey_[c]) return false;
    vkey = vkey_[c];
    shiftState = shift_[c];
    return true;
}

QByteArray TX11KeyboardLayout::KeyName(uint8_t vkey) const {
    return name_[vkey];
}
