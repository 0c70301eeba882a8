#include "dictionary/DictHeader.h"

#include <algorithm>

namespace {
constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<uint16_t>(crc << 1);
        t[i] = crc;
    }
    return t;
}
constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();
} // namespace

namespace DictHeader {
uint16_t Crc16(const uint8_t* data, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ kCrcTable[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

void Xor(uint8_t* data, size_t size, uint16_t key) {
    const auto hi = static_cast<uint8_t>(key >> 8), lo = static_cast<uint8_t>(key & 0xFF);
    for (size_t i = 0; i < size; ++i)
        data[i] ^= (i % 2 == 0) ? hi : lo;
}
} // namespace DictHeader

void TDictionaryHeader::Reset() {
    bytes_.fill(0);
    SetWord(0, kSize);
    SetWord(2, kVersion);
}

uint16_t TDictionaryHeader::Word(int offset) const {
    return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

void TDictionaryHeader::SetWord(int offset, uint16_t value) {
    bytes_[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes_[offset + 1] = static_cast<uint8_t>(value >> 8);
}

QByteArray TDictionaryHeader::ShortString(int offset, int capacity) const {
    const int len = std::min<int>(bytes_[offset], capacity);
    return QByteArray(reinterpret_cast<const char*>(&bytes_[offset + 1]), len);
}

void TDictionaryHeader::SetShortString(int offset, int capacity, const QByteArray& value) {
    const int len = std::min<int>(value.size(), capacity);
    std::fill_n(&bytes_[offset], capacity + 1, 0);
    bytes_[offset] = static_cast<uint8_t>(len);
    std::copy_n(value.constData(), len, &bytes_[offset + 1]);
}

QByteArray TDictionaryHeader::Scrambled() const {
    std::array<uint8_t, kSize> copy = bytes_;
    copy[4] = copy[5] = 0;
    const uint16_t key = DictHeader::Crc16(copy.data(), copy.size());
    DictHeader::Xor(copy.data(), copy.size(), key);
    copy[4] = static_cast<uint8_t>(key & 0xFF);
    copy[5] = static_cast<uint8_t>(key >> 8);
    return QByteArray(reinterpret_cast<const char*>(copy.data()), kSize);
}
