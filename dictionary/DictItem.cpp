#include "dictionary/DictItem.h"

#include "platform/Ansi.h"

#include <QIODevice>
#include <algorithm>

namespace {
constexpr int kDisplayChars = 80;
constexpr qint64 kMaxText = 0x7FFFFFFE; // the record's 32-bit length holds text + 1
constexpr int kMaxShortString = 255;

QString Quoted(const QByteArray& keyword) {
    QString k = Ansi::ToUnicode(keyword.left(40));
    if (keyword.size() > 40) k += QStringLiteral("...");
    return QLatin1Char('"') + k + QLatin1Char('"');
}
} // namespace

void TDictionaryItem::Clear() {
    Shortcut = 0;
    Flags = 0;
    Text.clear();
    Description.clear();
    Keyword.clear();
    Linked = 0;
}

void TDictionaryItem::Assign(const TDictionaryItem& source) {
    Shortcut = source.Shortcut;
    Flags = source.Flags;
    Keyword = source.Keyword;
    Description = source.Description;
    Linked = source.Linked;
    Text = source.Text;
}

namespace {
bool IsNormalKeyword(const QByteArray& k) {
    if (!k.isEmpty() && (static_cast<unsigned char>(k.front()) <= ' ' ||
                         static_cast<unsigned char>(k.back()) <= ' '))
        return false;
    for (char c : k)
        if (Ansi::LowerChar(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c))
            return false;
    return true;
}

// Length of the trimmed text without copying it.
qsizetype TrimmedLength(const QByteArray& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return e - b;
}
} // namespace

QByteArray TDictionaryItem::NormalKeyword(const QByteArray& keyword) {
    // Keywords are nearly always normal already; keep sharing them.
    return IsNormalKeyword(keyword) ? keyword : Ansi::Lower(Ansi::Trim(keyword));
}

void TDictionaryItem::SetKeyword(const QByteArray& keyword) {
    Keyword = NormalKeyword(keyword);
}

void TDictionaryItem::SetDescription(const QByteArray& description) {
    Description = Ansi::Trim(description);
}

qsizetype TDictionaryItem::GetDisplayDescriptionLength() const {
    const qsizetype d = TrimmedLength(Description);
    return d > 0 ? d : std::min<qsizetype>(Text.size(), kDisplayChars);
}

QByteArray TDictionaryItem::GetDisplayDescription() const {
    QByteArray d = Ansi::Trim(Description);
    if (!d.isEmpty()) return d;
    d = Text.left(kDisplayChars);
    for (char& c : d)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return d;
}

void TDictionaryItem::SetReadOnly(bool readOnly) {
    Flags = readOnly ? (Flags | 1) : (Flags & ~1);
}

void TDictionaryItem::LoadTextFromStream(QIODevice& stream) {
    const qint64 size = stream.size();
    if (!stream.seek(0) || size <= 0) {
        Text.clear();
        return;
    }
    Text = stream.read(size - 1);
}

bool TDictionaryItem::WriteTextToStream(QIODevice& stream) const {
    return stream.write(Text) == Text.size() && stream.putChar('\0');
}

QString TDictionaryItem::StorageProblem() const {
    if (Keyword.size() > kMaxShortString)
        return QStringLiteral("The keyword %1 is longer than 255 characters and cannot be saved.")
            .arg(Quoted(Keyword));
    if (Description.size() > kMaxShortString)
        return QStringLiteral(
                   "The description of %1 is longer than 255 characters and cannot be saved.")
            .arg(Quoted(Keyword));
    if (Text.size() > kMaxText)
        return QStringLiteral("The text of %1 is too long to be saved.").arg(Quoted(Keyword));
    return {};
}

void TDictionaryItem::AppendRecord(QByteArray& out) const {
    const qint64 n = Text.size() + 1;
    auto put16 = [&](uint16_t v) {
        out.append(static_cast<char>(v & 0xFF));
        out.append(static_cast<char>(v >> 8));
    };
    put16(Shortcut);
    put16(Flags);
    out.append(static_cast<char>(Keyword.size()));
    out.append(Keyword);
    out.append(static_cast<char>(Description.size()));
    out.append(Description);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((n >> (8 * i)) & 0xFF));
    out.append(Text);
    out.append('\0');
}

bool TDictionaryItem::WriteToStream(QIODevice& stream) const {
    if (!StorageProblem().isEmpty()) return false;
    QByteArray rec;
    AppendRecord(rec);
    return stream.write(rec) == rec.size();
}
