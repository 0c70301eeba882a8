#include "typing/AutoreplKeys.h"

TKeyTables::TKeyTables() {
    for (TTable* t : {&plain_, &shift_, &ctrlAlt_, &shiftCtrlAlt_})
        t->fill(' ');
}

void TKeyTables::Build(const TKeyboardLayout& layout) {
    *this = TKeyTables();
    for (int c = 0; c < 256; ++c) {
        uint8_t vkey = 0, state = 0;
        if (!layout.KeyForChar(static_cast<unsigned char>(c), vkey, state)) continue;
        // The layout codes Shift 1, Ctrl 2, Alt 4: the AltGr states 6 and 7
        // read the same in either coding.
        switch (state) {
        case 0:
            plain_[vkey] = static_cast<unsigned char>(c);
            break;
        case layoutshift::Shift:
            shift_[vkey] = static_cast<unsigned char>(c);
            break;
        case layoutshift::Ctrl | layoutshift::Alt:
            ctrlAlt_[vkey] = static_cast<unsigned char>(c);
            break;
        case layoutshift::Shift | layoutshift::Ctrl | layoutshift::Alt:
            shiftCtrlAlt_[vkey] = static_cast<unsigned char>(c);
            break;
        default:
            break;
        }
    }
    // The numeric keypad types the same on every layout.
    for (int i = 0; i < 10; ++i)
        plain_[0x60 + i] = static_cast<unsigned char>('0' + i);
    plain_[0x6A] = '*';
    plain_[0x6B] = '+';
    plain_[0x6D] = '-';
    plain_[0x6E] = '.';
    plain_[0x6F] = '/';
}

unsigned char TKeyTables::KeyToChar(unsigned key, int state) const {
    if (key > 255) return ' ';
    switch (state) {
    case keystate::Shift:
        return shift_[key];
    case keystate::Ctrl | keystate::Alt:
        return ctrlAlt_[key];
    case keystate::Shift | keystate::Ctrl | keystate::Alt:
        return shiftCtrlAlt_[key];
    default:
        return plain_[key];
    }
}
