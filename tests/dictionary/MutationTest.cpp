// Damaged and hostile files, made by a fixed-seed mutation loop over valid
// ones, must never crash, hang or leave the list inconsistent.
#include "dictionary/Dict.h"
#include "platform/Errors.h"
#include "tests/dictionary/Fixtures.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArrayList Seeds() {
    Fx::Header v7, v6, v5;
    v7.info = {"Info", "", ""};
    v7.name = "seed.bxd";
    v6.version = 6;
    v5.version = 5;
    const Fx::Entry a{"alpha", "first", "text one", 1, 0};
    const Fx::Entry b{"Beta", "", "line\r\nline", 0, 1};
    const Fx::Entry c{"gamma", "third", "", 0x2041, 0};
    return {Fx::Scrambled(v7) + Fx::Record7(a) + Fx::Record7(b) + Fx::Record7(c),
            Fx::Scrambled(v6) + Fx::RecordOld(6, a) + Fx::RecordOld(5, b) + Fx::RecordOld(6, c),
            Fx::Scrambled(v5) + Fx::RecordOld(5, a) + Fx::RecordOld(5, b)};
}

QByteArray Mutate(QByteArray data, std::mt19937& rng) {
    const int kind = rng() % 6;
    const auto at = [&] { return data.isEmpty() ? 0 : static_cast<int>(rng() % data.size()); };
    switch (kind) {
    case 0: // flip bits
        for (int i = 0, n = 1 + rng() % 4; i < n && !data.isEmpty(); ++i)
            data[at()] = char(data[at()] ^ (1 << (rng() % 8)));
        break;
    case 1:
        data.truncate(at());
        break;
    case 2:
        data.insert(at(), QByteArray(1 + rng() % 8, char(rng())));
        break;
    case 3: { // an extreme length where a length might be
        static const int32_t extremes[] = {0, -1, 1, 0x7FFFFFFF, INT32_MIN, 255, 256};
        const int pos = std::max(0, at() - 4);
        data.replace(pos, 4, Fx::Le32(extremes[rng() % 7]));
        break;
    }
    case 4:
        data.remove(at(), 1 + rng() % 16);
        break;
    default:
        data += data.mid(at(), 1 + rng() % 64);
        break;
    }
    return data;
}

// Mutates the unscrambled header too and re-scrambles it, so the records
// behind odd header values are read as well.
QByteArray MutateBehindChecksum(const QByteArray& seed, std::mt19937& rng) {
    const int headerSize = (seed.size() >= 212 && (rng() & 1)) ? 212 : 208;
    QByteArray plain = seed.left(headerSize);
    const uint16_t k = static_cast<uint8_t>(plain[4]) | (static_cast<uint8_t>(plain[5]) << 8);
    for (int i = 0; i < plain.size(); ++i)
        plain[i] = char(plain[i] ^ ((i % 2 == 0) ? (k >> 8) : (k & 0xFF)));
    plain[6 + rng() % (headerSize - 6)] = char(rng());
    return Fx::Scramble(plain) + Mutate(seed.mid(headerSize), rng);
}

void CheckInvariants(const TDictionaryList& list, const TLoadResult& r) {
    ASSERT_LE(list.Count(), r.recordsRead);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(KeywordCollator::Compare(list.GetKeywordAt(i - 1), list.GetKeywordAt(i)), 0);
    // Whatever was read saves and reads back the same.
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    list.SaveToStream(out);
    QBuffer in(&saved);
    in.open(QIODevice::ReadOnly);
    TDictionaryList back;
    const TLoadResult again = back.LoadFromStream(in);
    ASSERT_TRUE(again.complete);
    ASSERT_EQ(back.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(back.GetItem(i)->GetText(), list.GetItem(i)->GetText());
}

} // namespace

TEST(DictMutation, DamagedFilesNeverBreakTheReader) {
    std::mt19937 rng(20240501);
    int accepted = 0, refused = 0;
    for (const QByteArray& seed : Seeds()) {
        for (int round = 0; round < 3000; ++round) {
            QByteArray data =
                (round % 3 == 0) ? MutateBehindChecksum(seed, rng) : Mutate(seed, rng);
            if (round % 5 == 0) data = Mutate(data, rng);
            QBuffer in(&data);
            in.open(QIODevice::ReadOnly);
            TDictionaryList list;
            try {
                const TLoadResult r = list.LoadFromStream(in);
                ++accepted;
                CheckInvariants(list, r);
                if (HasFatalFailure()) return;
            } catch (const EBrevix& e) {
                ++refused;
                ASSERT_EQ(list.Count(), 0);
            }
        }
    }
    // The loop must exercise both paths to mean anything.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 1000);
}
