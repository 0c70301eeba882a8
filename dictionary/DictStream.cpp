// Reading and writing whole dictionaries: the scrambled header, then one
// record per entry up to the end of the data.
#include "dictionary/DictList.h"
#include "dictionary/DictRecord.h"
#include "dictionary/Progress.h"
#include "dictionary/Rounding.h"
#include "platform/Errors.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const QString kBadHeader =
    QStringLiteral("Unrecognized file header (you may need a newer version of Brevix)");
const QString kWriteError = QStringLiteral("Error writing to file");

[[noreturn]] void Refuse() {
    throw EBrevix(kBadHeader);
}

// Fields of a version-5 header and where the version-7 header keeps them.
struct Move {
    int from, to, size;
};
constexpr Move kVersion5Moves[] = {{6, 6, 2},    {8, 8, 2},      {10, 14, 41},  {51, 55, 41},
                                   {92, 96, 41}, {133, 137, 17}, {167, 154, 41}};

// Reads, unscrambles and checks a header of any accepted version. Returns
// true when the entries that follow are in the old record format.
bool ReadHeader(TRecordReader& reader, TDictionaryHeader& header) {
    uint8_t raw[TDictionaryHeader::kSize];
    if (!reader.Read(raw, 6)) Refuse();
    const uint16_t key = static_cast<uint16_t>(raw[4] | (raw[5] << 8));
    uint8_t peek[6];
    std::memcpy(peek, raw, 6);
    DictHeader::Xor(peek, 6, key);
    const uint16_t version = static_cast<uint16_t>(peek[2] | (peek[3] << 8));
    int size;
    if (version == 5)
        size = TDictionaryHeader::kVersion5Size;
    else if (version == 6 || version == 7)
        size = TDictionaryHeader::kSize;
    else
        Refuse();
    if (!reader.Read(raw + 6, size - 6)) Refuse();
    DictHeader::Xor(raw, size, key);
    if (raw[0] + (raw[1] << 8) != size) Refuse();
    raw[4] = raw[5] = 0;
    if (DictHeader::Crc16(raw, size) != key) Refuse();

    header.Reset();
    auto& out = header.Bytes();
    if (version == 5) {
        for (const Move& m : kVersion5Moves)
            std::memcpy(&out[m.to], raw + m.from, m.size);
    } else {
        std::memcpy(out.data(), raw, size);
        header.SetWord(2, TDictionaryHeader::kVersion);
    }
    return version != 7;
}

class TProgressSteps {
public:
    TProgressSteps(TProgress* progress, int maximum, double total, int start)
        : progress_(progress), step_(total / maximum) {
        if (!progress_) return;
        progress_->SetRange(0, maximum);
        progress_->SetPosition(start);
        threshold_ = RoundHalfEven(step_);
    }
    void Reached(double done) {
        if (!progress_ || step_ <= 0 || done < threshold_) return;
        const auto position = static_cast<int>(RoundHalfEven(done / step_));
        progress_->SetPosition(position);
        threshold_ = RoundHalfEven((position + 1) * step_);
        progress_->ProcessMessages();
    }

private:
    TProgress* progress_;
    double step_;
    long long threshold_ = 0;
};

} // namespace

TLoadResult TDictionaryList::LoadFromStream(QIODevice& stream, int mergeTag, bool headerOnly,
                                            TShortcutRegister* shortcutRegister,
                                            TProgress* progress, bool keepRecordFlags) {
    if (mergeTag == 0) Clear();
    TRecordReader reader(stream, true);
    TDictionaryHeader header;
    const bool oldFormat = ReadHeader(reader, header);
    if (mergeTag == 0) Header = header;

    TLoadResult result;
    result.stopOffset = reader.Offset();
    if (headerOnly) return result;

    const double streamSize = stream.isSequential() ? 0.0 : static_cast<double>(stream.size());
    TProgressSteps steps(progress, 10, streamSize, 1);
    std::vector<std::unique_ptr<TDictionaryItem>> read;
    std::vector<qint64> chars;
    // Room for as many records as the file holds at a modest size (within
    // reason), so these do not grow step by step, copying themselves each time.
    const auto expected =
        static_cast<size_t>(std::clamp<qint64>(reader.Remaining() / 96, 0, 1 << 20));
    read.reserve(expected);
    chars.reserve(expected);
    index_.ReserveStaged(expected);
    try {
        for (;;) {
            auto item = std::make_unique<TDictionaryItem>();
            const qint64 start = reader.Offset();
            QString reason;
            if (!reader.ReadItem(*item, oldFormat, &reason)) {
                result.stopOffset = start;
                result.complete = reason.isEmpty();
                result.stopReason = reason;
                break;
            }
            if (!keepRecordFlags) item->SetReadOnly(GetReadOnly());
            item->SetLinked(static_cast<uint8_t>(mergeTag));
            item->SetKeyword(item->GetKeyword());
            index_.Stage(item.get());
            chars.push_back(CharsOf(*item));
            read.push_back(std::move(item));
            steps.Reached(static_cast<double>(reader.Offset()));
        }
    } catch (...) {
        index_.DropStaged(); // the entries they refer to are freed on the way out
        throw;
    }
    result.recordsRead = static_cast<int>(read.size());

    const std::vector<bool> taken = index_.MergeStaged();
    for (size_t i = 0; i < read.size(); ++i) {
        if (!taken[i]) {
            ++result.duplicates;
            continue;
        }
        totalChars_ += chars[i];
        TDictionaryItem* item = read[i].release();
        if (!shortcutRegister) continue;
        const QString code = QString::number(item->GetShortcut());
        if (shortcutRegister->contains(code))
            item->SetShortcut(0);
        else
            shortcutRegister->insert(code);
    }
    return result;
}

void TDictionaryList::SaveToStream(QIODevice& stream, TProgress* progress) const {
    for (int i = 0; i < Count(); ++i) {
        const TDictionaryItem& item = *index_.Item(i);
        if (item.GetLinked() != 0) continue;
        const QString problem = item.StorageProblem();
        if (!problem.isEmpty()) throw EBrevix(problem);
    }
    if (stream.write(Header.Scrambled()) != TDictionaryHeader::kSize) throw EBrevix(kWriteError);
    // Records go out in large blocks: one device write per record is slow.
    constexpr qsizetype kBlock = 1 << 20;
    QByteArray block;
    block.reserve(kBlock + 4096);
    auto flush = [&] {
        if (stream.write(block) != block.size()) throw EBrevix(kWriteError);
        block.resize(0);
    };
    TProgressSteps steps(progress, 25, Count(), 0);
    for (int i = 0; i < Count(); ++i) {
        steps.Reached(i);
        const TDictionaryItem& item = *index_.Item(i);
        if (item.GetLinked() != 0) continue;
        item.AppendRecord(block);
        if (block.size() >= kBlock) flush();
    }
    flush();
}
