#pragma once
// Reads dictionary files field by field from any device, counting the bytes
// taken so a caller can say where reading stopped. Lengths read from the file
// are never trusted for allocation beyond what the device holds.
#include <QByteArray>
#include <QString>

class QIODevice;
class TDictionaryItem;

class TRecordReader {
public:
    // With readAhead the device is read in large blocks (whole files); what
    // was read ahead is given back to a random-access device on destruction.
    explicit TRecordReader(QIODevice& device, bool readAhead = false);
    ~TRecordReader();
    TRecordReader(const TRecordReader&) = delete;
    TRecordReader& operator=(const TRecordReader&) = delete;
    // Exactly n bytes, or false.
    bool Read(void* destination, qint64 n);
    bool ReadBytes(qint64 n, QByteArray& out);
    qint64 Offset() const { return offset_; }
    // Bytes left on the device; -1 when unknown.
    qint64 Remaining() const { return available_ < 0 ? -1 : available_ - offset_; }
    // One entry record. False at a clean end of data (reason empty) or at a
    // record that cannot be read (reason set); the entry is then cleared.
    bool ReadItem(TDictionaryItem& item, bool oldFormat, QString* reason = nullptr);

private:
    bool ReadCurrent(TDictionaryItem& item, QString& reason, bool& clean);
    bool ReadOld(TDictionaryItem& item, QString& reason, bool& clean);
    bool ReadText(TDictionaryItem& item, qint32 n, QString& reason);
    bool Fill();
    QByteArray SharedSlice(qsizetype at, qsizetype length);
    // A record's fields up to its text, when the block holds them all.
    bool ReadHeadInBlock(TDictionaryItem& item, qint32& n);

    QIODevice& device_;
    qint64 offset_ = 0;
    // Bytes the device holds from the starting position; -1 when unknown.
    qint64 available_ = -1;
    bool readAhead_;
    QByteArray block_;
    qsizetype taken_ = 0; // of block_
};
