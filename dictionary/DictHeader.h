#pragma once
// The dictionary file header (version-7 layout, 212 bytes), held unscrambled,
// and the checksum and scrambling that protect it in a file.
#include <QByteArray>
#include <array>
#include <cstdint>

class TDictionaryHeader {
public:
    static constexpr int kSize = 212;
    static constexpr int kVersion5Size = 208;
    static constexpr int kVersion = 7;
    static constexpr int kLineChars = 40;
    static constexpr int kInfoLineOffset[3] = {14, 55, 96};
    static constexpr int kStoredNameOffset = 154;
    static constexpr int kFlagsOffset = 6;
    static constexpr int kReservedOffset = 8;

    TDictionaryHeader() { Reset(); }
    // All zero but the size (212) and the version (7).
    void Reset();

    uint16_t Word(int offset) const;
    void SetWord(int offset, uint16_t value);
    uint16_t Size() const { return Word(0); }
    uint16_t Version() const { return Word(2); }
    uint16_t Flags() const { return Word(kFlagsOffset); }
    void SetFlags(uint16_t flags) { SetWord(kFlagsOffset, flags); }

    // A short string of 40: a length byte, then 40 character bytes.
    QByteArray ShortString(int offset, int capacity) const;
    void SetShortString(int offset, int capacity, const QByteArray& value);

    const std::array<uint8_t, kSize>& Bytes() const { return bytes_; }
    std::array<uint8_t, kSize>& Bytes() { return bytes_; }

    // The 212 bytes as written to a file: checksummed and scrambled.
    QByteArray Scrambled() const;

private:
    std::array<uint8_t, kSize> bytes_{};
};

namespace DictHeader {
// CRC-16/XMODEM: polynomial 0x1021, initial 0, not reflected.
uint16_t Crc16(const uint8_t* data, size_t size);
// XOR of every byte with the checksum's high (even offsets) or low (odd) byte.
void Xor(uint8_t* data, size_t size, uint16_t key);
} // namespace DictHeader
