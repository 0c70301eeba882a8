#include "tests/dictionary/Fixtures.h"

namespace Fx {

QByteArray Le16(uint16_t v) {
    QByteArray b;
    b.append(char(v & 0xFF)).append(char(v >> 8));
    return b;
}

QByteArray Le32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((u >> (8 * i)) & 0xFF));
    return b;
}

QByteArray Short(const QByteArray& s, int capacity) {
    QByteArray b(1, char(s.size()));
    b += s.left(capacity);
    b.append(capacity - s.left(capacity).size(), '\0');
    return b;
}

uint16_t Crc(const QByteArray& data) {
    uint16_t crc = 0;
    for (char c : data) {
        crc ^= static_cast<uint16_t>(static_cast<uint8_t>(c) << 8);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    }
    return crc;
}

QByteArray Scramble(QByteArray h) {
    h[4] = h[5] = 0;
    const uint16_t k = Crc(h);
    for (int i = 0; i < h.size(); ++i)
        h[i] = char(h[i] ^ ((i % 2 == 0) ? (k >> 8) : (k & 0xFF)));
    h.replace(4, 2, Le16(k));
    return h;
}

QByteArray Plain(const Header& h) {
    QByteArray b;
    if (h.version == 5) {
        b = Le16(208) + Le16(5) + Le16(0) + Le16(h.flags) + Le16(h.reserved8);
        for (const QByteArray& line : h.info)
            b += Short(line, 40);
        b += Short(h.reservedA, 16) + Short(h.reservedB, 16) + Short(h.name, 40);
        return b;
    }
    b = Le16(212) + Le16(h.version) + Le16(0) + Le16(h.flags) + Le16(h.reserved8) +
        Le16(h.reserved10) + Le16(h.reserved12);
    for (const QByteArray& line : h.info)
        b += Short(line, 40);
    b += Short(h.reservedA, 16) + Short(h.name, 40) + Short(h.reservedB, 16);
    return b;
}

QByteArray Record7(const Entry& e) {
    return Le16(e.shortcut) + Le16(e.flags) + char(e.keyword.size()) + e.keyword +
           char(e.description.size()) + e.description + Le32(e.text.size() + 1) + e.text + '\0';
}

QByteArray RecordOld(int version, const Entry& e) {
    const int size = version == 5 ? 102 : 126;
    return Le16(size) + Le16(version) + Le16(e.shortcut) + Le16(e.flags) + Le32(e.text.size() + 1) +
           Short(e.keyword, version == 5 ? 8 : 32) + Short(e.description, 80) + e.text + '\0';
}

} // namespace Fx
