#include "dictionary/DictRecord.h"

#include "dictionary/DictItem.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr qint64 kChunk = 1 << 20;
// Read ahead in blocks this size: large enough that a field costs a copy, not
// a call into the device.
constexpr qint64 kBlock = 1 << 16;
const QString kCutShort = QStringLiteral("record cut short");

uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
qint32 Int32(const uint8_t* p) {
    return static_cast<qint32>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                               (static_cast<uint32_t>(p[2]) << 16) |
                               (static_cast<uint32_t>(p[3]) << 24));
}
QByteArray ShortString(const uint8_t* p, int capacity) {
    return QByteArray(reinterpret_cast<const char*>(p + 1), std::min<int>(p[0], capacity));
}

struct OldLayout {
    int fixedSize;
    int keywordCapacity;
    int descriptionOffset;
};
constexpr OldLayout kVersion5{102, 8, 21};
constexpr OldLayout kVersion6{126, 32, 45};
} // namespace

TRecordReader::TRecordReader(QIODevice& device, bool readAhead)
    : device_(device), readAhead_(readAhead) {
    // Asked once: the size of a file costs a system call.
    if (!device.isSequential()) available_ = device.size() - device.pos();
}

TRecordReader::~TRecordReader() {
    const qsizetype unread = block_.size() - taken_;
    if (unread > 0 && !device_.isSequential()) device_.seek(device_.pos() - unread);
}

bool TRecordReader::Fill() {
    // Texts taken from the last block still share it: a fresh one, not a copy.
    if (!block_.isDetached())
        block_ = QByteArray(kBlock, Qt::Uninitialized);
    else
        block_.resize(kBlock);
    const qint64 got = device_.read(block_.data(), kBlock);
    block_.resize(got > 0 ? got : 0);
    taken_ = 0;
    return got > 0;
}

bool TRecordReader::Read(void* destination, qint64 n) {
    if (n <= 0) return true;
    if (!readAhead_) {
        const qint64 got = device_.read(static_cast<char*>(destination), n);
        if (got > 0) offset_ += got;
        return got == n;
    }
    auto* out = static_cast<char*>(destination);
    while (n > 0) {
        if (taken_ == block_.size() && n >= kBlock) { // a long text goes straight in
            const qint64 got = device_.read(out, n);
            if (got > 0) offset_ += got;
            return got == n;
        }
        if (taken_ == block_.size() && !Fill()) return false;
        const qint64 part = std::min<qint64>(n, block_.size() - taken_);
        std::memcpy(out, block_.constData() + taken_, static_cast<size_t>(part));
        taken_ += part;
        offset_ += part;
        out += part;
        n -= part;
    }
    return true;
}

bool TRecordReader::ReadBytes(qint64 n, QByteArray& out) {
    out.clear();
    if (n <= 0) return true;
    if (available_ >= 0 && n > available_ - offset_) return false;
    if (n <= kChunk) {
        // Exactly n: growing by resize would round the block up to a power of two.
        out = QByteArray(n, Qt::Uninitialized);
        return Read(out.data(), n);
    }
    // A length the device size cannot vouch for grows as the data arrives.
    while (out.size() < n) {
        const qint64 want = std::min(kChunk, n - out.size());
        const qsizetype at = out.size();
        out.resize(at + want);
        if (!Read(out.data() + at, want)) return false;
    }
    out.squeeze();
    return true;
}

QByteArray TRecordReader::SharedSlice(qsizetype at, qsizetype length) {
    // A field shares the read-ahead block instead of a copy each: one
    // allocation per block rather than several per entry. The block's
    // reference count keeps it as long as any field needs it, and a field
    // that changes detaches as any shared array does. The byte after the
    // field, read already, becomes its NUL.
    QByteArray::DataPointer& block = block_.data_ptr();
    char* data = block.data() + at;
    data[length] = '\0';
    block.d_ptr()->ref();
    return QByteArray(QByteArray::DataPointer(block.d_ptr(), data, length));
}

bool TRecordReader::ReadText(TDictionaryItem& item, qint32 n, QString& reason) {
    if (n <= 0) return true;
    if (readAhead_ && n <= block_.size() - taken_) {
        item.Text = SharedSlice(taken_, qsizetype(n) - 1);
        taken_ += n;
        offset_ += n;
        return true;
    }
    QByteArray text;
    char terminator;
    if (!ReadBytes(qint64(n) - 1, text) || !Read(&terminator, 1)) {
        reason = kCutShort;
        return false;
    }
    item.Text = std::move(text);
    return true;
}

bool TRecordReader::ReadHeadInBlock(TDictionaryItem& item, qint32& n) {
    if (!readAhead_) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(block_.constData()) + taken_;
    const qsizetype left = block_.size() - taken_;
    if (left < 6) return false;
    const int k = p[4];
    if (left < 6 + k) return false;
    const int d = p[5 + k];
    const qsizetype size = 10 + k + d;
    if (left < size) return false;
    // Every number is read before the fields' NULs go over the bytes after them.
    item.SetShortcut(Word(p));
    item.SetFlags(Word(p + 2));
    n = Int32(p + 6 + k + d);
    if (k > 0) item.Keyword = SharedSlice(taken_ + 5, k);
    if (d > 0) item.Description = SharedSlice(taken_ + 6 + k, d);
    taken_ += size;
    offset_ += size;
    return true;
}

bool TRecordReader::ReadCurrent(TDictionaryItem& item, QString& reason, bool& clean) {
    qint32 length;
    if (ReadHeadInBlock(item, length)) return ReadText(item, length, reason);
    uint8_t fixed[5];
    const qint64 start = offset_;
    if (!Read(fixed, 5)) {
        clean = offset_ == start;
        reason = kCutShort;
        return false;
    }
    QByteArray keyword, description;
    uint8_t len;
    if (!ReadBytes(fixed[4], keyword) || !Read(&len, 1) || !ReadBytes(len, description)) {
        reason = kCutShort;
        return false;
    }
    uint8_t n[4];
    if (!Read(n, 4)) {
        reason = kCutShort;
        return false;
    }
    item.SetShortcut(Word(fixed));
    item.SetFlags(Word(fixed + 2));
    item.Keyword = std::move(keyword); // taken as stored; adding to a list normalises it
    item.Description = std::move(description);
    return ReadText(item, Int32(n), reason);
}

bool TRecordReader::ReadOld(TDictionaryItem& item, QString& reason, bool& clean) {
    uint8_t buf[kVersion6.fixedSize];
    const qint64 start = offset_;
    if (!Read(buf, 4)) {
        clean = offset_ == start;
        reason = kCutShort;
        return false;
    }
    const uint16_t size = Word(buf), version = Word(buf + 2);
    const OldLayout* layout = version == 5 ? &kVersion5 : version == 6 ? &kVersion6 : nullptr;
    if (!layout) {
        reason = QStringLiteral("record of unknown version %1").arg(version);
        return false;
    }
    if (size != layout->fixedSize) {
        reason = QStringLiteral("record size %1 does not match version %2").arg(size).arg(version);
        return false;
    }
    if (!Read(buf + 4, layout->fixedSize - 4)) {
        reason = kCutShort;
        return false;
    }
    const qint32 n = Int32(buf + 8);
    if (n < 0) {
        reason = QStringLiteral("negative text length");
        return false;
    }
    item.SetShortcut(Word(buf + 4));
    item.SetFlags(Word(buf + 6));
    item.Keyword = ShortString(buf + 12, layout->keywordCapacity);
    item.Description = ShortString(buf + layout->descriptionOffset, 80);
    return ReadText(item, n, reason);
}

bool TRecordReader::ReadItem(TDictionaryItem& item, bool oldFormat, QString* reason) {
    item.Clear();
    QString why;
    bool clean = false;
    const bool ok = oldFormat ? ReadOld(item, why, clean) : ReadCurrent(item, why, clean);
    if (ok) return true;
    item.Clear();
    if (reason) *reason = clean ? QString() : why;
    return false;
}

bool TDictionaryItem::ReadFromStream(QIODevice& stream, bool oldFormat) {
    TRecordReader reader(stream);
    return reader.ReadItem(*this, oldFormat);
}
