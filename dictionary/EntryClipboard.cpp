#include "dictionary/EntryClipboard.h"

#include "dictionary/DictItem.h"
#include "dictionary/DictRecord.h"

#include <QBuffer>
#include <QtEndian>

namespace EntryClipboard {

namespace {
void Put32(QByteArray& out, qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
} // namespace

QByteArray Encode(const std::vector<const TDictionaryItem*>& items, QString* problem) {
    QByteArray out;
    Put32(out, static_cast<qint32>(items.size()));
    for (const TDictionaryItem* item : items) {
        const QString why = item->StorageProblem();
        if (!why.isEmpty()) {
            if (problem) *problem = why;
            return {};
        }
        item->AppendRecord(out);
    }
    Put32(out, 0);
    return out;
}

TDecoded Decode(const QByteArray& block) {
    TDecoded result;
    if (block.size() <= 4) return result;
    qint32 n = qFromLittleEndian<qint32>(block.constData());
    result.Declared = n > 0 ? n : 0;
    QByteArray copy = block; // the buffer needs a device of its own
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    in.seek(4);
    TRecordReader reader(in);
    // Each record needs at least its fixed fields, so a huge count ends at
    // the block's end instead of looping on.
    for (qint64 i = 0; i < result.Declared; ++i) {
        auto item = std::make_unique<TDictionaryItem>();
        QString why;
        if (!reader.ReadItem(*item, false, &why)) {
            result.Problem =
                QStringLiteral("Only %1 of the %2 entries on the clipboard could be read")
                    .arg(i)
                    .arg(result.Declared);
            if (!why.isEmpty()) result.Problem += QStringLiteral(": ") + why;
            result.Problem += QLatin1Char('.');
            break;
        }
        result.Items.push_back(std::move(item));
    }
    return result;
}

} // namespace EntryClipboard
