#pragma once
// Dictionary files built byte by byte from the documented layout, without
// the production reader or writer.
#include <QByteArray>
#include <QByteArrayList>
#include <cstdint>

namespace Fx {

QByteArray Le16(uint16_t v);
QByteArray Le32(int32_t v);
// A length byte followed by exactly capacity bytes.
QByteArray Short(const QByteArray& s, int capacity);
// Bitwise CRC-16/XMODEM.
uint16_t Crc(const QByteArray& data);
// Checksums and scrambles an unscrambled header.
QByteArray Scramble(QByteArray header);

struct Header {
    uint16_t version = 7;
    uint16_t flags = 0;
    int16_t reserved8 = 0;
    uint16_t reserved10 = 0, reserved12 = 0;
    QByteArrayList info = {"", "", ""};
    QByteArray reservedA, name, reservedB;
};
// Unscrambled: 212 bytes for versions 6 and 7, 208 for version 5.
QByteArray Plain(const Header& h);
inline QByteArray Scrambled(const Header& h) {
    return Scramble(Plain(h));
}

struct Entry {
    QByteArray keyword, description, text;
    uint16_t shortcut = 0, flags = 0;
};
QByteArray Record7(const Entry& e);
// Version 5 or 6 record.
QByteArray RecordOld(int version, const Entry& e);

} // namespace Fx
