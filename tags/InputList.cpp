#include "tags/InputList.h"

#include "platform/Ansi.h"
#include "tags/Bookmarks.h"

#include <QtEndian>
#include <cstring>

namespace {

void PutU32(TStreamSink& out, uint32_t v) {
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.Put(b, 4);
}

void PutSized(TStreamSink& out, uint32_t v) {
    PutU32(out, 4);
    PutU32(out, v);
}

void PutBlock(TStreamSink& out, const QByteArray& block) {
    PutU32(out, static_cast<uint32_t>(block.size()));
    out.Put(block.constData(), block.size());
}

// Reads the session stream; every read is checked against what is left.
class TReader {
public:
    explicit TReader(TStreamSource& in) : in_(in) {}
    bool U32(uint32_t& v) {
        char b[4];
        if (!in_.Read(b, 4)) return false;
        v = qFromLittleEndian<quint32>(b);
        return true;
    }
    // A size word that must be `size`, then a value of that many bytes.
    bool Sized(uint32_t& v) {
        uint32_t size = 0;
        return U32(size) && size == 4 && U32(v);
    }
    bool Byte(uint8_t& v) {
        uint32_t size = 0;
        char b = 0;
        if (!U32(size) || size != 1 || !in_.Read(&b, 1)) return false;
        v = static_cast<uint8_t>(b);
        return true;
    }
    bool Block(QByteArray& v) {
        uint32_t size = 0;
        if (!U32(size) || static_cast<quint64>(size) > quint64(in_.Left())) return false;
        QByteArray block(static_cast<qsizetype>(size), Qt::Uninitialized);
        if (!in_.Read(block.data(), block.size())) return false;
        v = std::move(block);
        return true;
    }
    qsizetype Left() const { return in_.Left(); }

private:
    TStreamSource& in_;
};

constexpr uint32_t kFormatTag = 4;
// Size word, kind, two reserved values and three empty blocks.
constexpr qsizetype kSmallestItem = 4 + 5 + 8 + 8 + 12;

bool Fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

} // namespace

bool TByteSource::Read(char* to, qsizetype size) {
    if (size > Left()) return false;
    if (size > 0) memcpy(to, data_.constData() + pos_, size_t(size));
    pos_ += size;
    return true;
}

// Size word, kind, two sized values and three blocks with their size words.
qsizetype TBXInputListItem::StreamSize() const {
    return 37 + TagText.size() + Value.size() + TextSnapshot.size();
}

void TBXInputListItem::WriteStream(TStreamSink& out) const {
    PutU32(out, 4);
    PutU32(out, 1);
    const char kind = static_cast<char>(Kind);
    out.Put(&kind, 1);
    PutSized(out, Reserved1);
    PutSized(out, Reserved2);
    PutBlock(out, TagText);
    PutBlock(out, Value);
    PutBlock(out, TextSnapshot);
}

TBXInputList::TBXInputList() {
    Items.push_back(std::make_unique<TBXInputListItem>(this));
}

qsizetype TBXInputList::StreamSize() const {
    qsizetype size = 20;
    for (const auto& item : Items)
        size += item->StreamSize();
    return size;
}

void TBXInputList::WriteStream(TStreamSink& out) const {
    PutU32(out, kFormatTag);
    PutSized(out, static_cast<uint32_t>(Items.size()));
    PutSized(out, static_cast<uint32_t>(Current));
    for (const auto& item : Items)
        item->WriteStream(out);
}

QByteArray TBXInputList::SaveToStream() const {
    QByteArray out;
    out.reserve(StreamSize());
    TByteSink sink(out);
    WriteStream(sink);
    return out;
}

bool TBXInputList::LoadFromStream(const QByteArray& data, QString* error) {
    qsizetype pos = 0;
    if (!LoadFromStream(data, pos, error)) return false;
    if (pos == data.size()) return true;
    return Fail(error, QStringLiteral("The session data goes on after its last field."));
}

bool TBXInputList::LoadFromStream(const QByteArray& data, qsizetype& pos, QString* error) {
    TByteSource in(data, pos);
    if (!ReadStream(in, error)) return false;
    pos = in.Pos();
    return true;
}

bool TBXInputList::ReadStream(TStreamSource& in, QString* error) {
    TReader r(in);
    const QString cut = QStringLiteral("The session data is cut short or damaged.");
    uint32_t tag = 0, count = 0, current = 0;
    if (!r.U32(tag) || tag != kFormatTag)
        return Fail(error, QStringLiteral("This is not a Brevix input session, or one of a "
                                          "format this version does not know."));
    if (!r.Sized(count) || !r.Sized(current)) return Fail(error, cut);
    if (count < 1) return Fail(error, QStringLiteral("The session holds no fields."));
    // Every item takes some bytes: a count the data cannot hold is refused
    // before anything is made for it.
    if (static_cast<quint64>(count) * kSmallestItem > quint64(r.Left()))
        return Fail(error, QStringLiteral("The session names %1 fields but holds the data of "
                                          "fewer.")
                               .arg(count));
    if (current >= count)
        return Fail(error, QStringLiteral("The session's current field (%1) is not one of its "
                                          "%2 fields.")
                               .arg(current + 1)
                               .arg(count));
    std::vector<std::unique_ptr<TBXInputListItem>> items;
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<TBXInputListItem>(this);
        uint32_t size = 0;
        uint8_t kind = 0;
        if (!r.U32(size) || size != 4 || !r.Byte(kind) || !r.Sized(item->Reserved1) ||
            !r.Sized(item->Reserved2) || !r.Block(item->TagText) || !r.Block(item->Value) ||
            !r.Block(item->TextSnapshot))
            return Fail(error, cut);
        if (kind > static_cast<uint8_t>(TInputKind::Message))
            return Fail(error, QStringLiteral("Field %1 of the session is of an unknown kind (%2).")
                                   .arg(i + 1)
                                   .arg(kind));
        item->Kind = static_cast<TInputKind>(kind);
        items.push_back(std::move(item));
    }
    Items = std::move(items);
    Current = static_cast<int>(current);
    return true;
}

void TBXInputList::RestoreSnapshot(const TBXInputListItem& item, TInputEdit& edit) const {
    edit.SetText(item.TextSnapshot.isEmpty() ? QString() : ValueText(item.TextSnapshot));
}

QString TBXInputList::FillIn(QString text, TTagSpan span, const QString& name,
                             const QString& answer) {
    text.replace(span.Start, span.End + 1 - span.Start, answer);
    if (name.isEmpty()) return text;
    // One pass, each reference searched for after the answer put in place of
    // the one before: an answer holding references to its own name grows the
    // text at every step, and rewriting it in place per reference made each
    // step quadratic in its size.
    const QString reference = QLatin1Char('{') + name + QLatin1Char('}');
    qsizetype at = text.indexOf(reference, 0, Qt::CaseInsensitive);
    if (at < 0) return text;
    QString out;
    out.reserve(text.size() + answer.size() * 2);
    qsizetype from = 0;
    for (int n = 0; n < MaxReferences && at >= 0; ++n) {
        out.append(QStringView(text).mid(from, at - from));
        out.append(answer);
        from = at + reference.size();
        at = text.indexOf(reference, from, Qt::CaseInsensitive);
    }
    out.append(QStringView(text).mid(from));
    return out;
}

int TBXInputList::ProcessField(TBXInputListItem& item, int index, TInputEdit& edit) {
    const QString text = edit.Text();
    item.TextSnapshot = TextValue(text);
    const TTagSpan span = FindInputTag(text);
    if (span.Start < 0) {
        item.Value.clear();
        item.TagText.clear();
        return nav::Done;
    }
    const QStringView tag = QStringView(text).mid(span.Start, span.End + 1 - span.Start);
    const QByteArray tagBytes = TextValue(tag.toString());
    if (item.TagText != tagBytes) {
        item.Value.clear();
        item.TagText = tagBytes;
    }
    const TInputField field = ParseInputTag(tag);
    item.Kind = field.Kind;
    const QString caption = QStringLiteral("Brevix Input Field #%1").arg(index + 1);
    const int number = index + 1;
    if (!ui_) return nav::Cancel;
    int code = nav::Cancel;
    switch (field.Kind) {
    case TInputKind::Text:
        ++TextFieldCount;
        code = ui_->AskText(caption, field, item.Value, number);
        break;
    case TInputKind::PickList:
        ++TextFieldCount;
        code = ui_->AskPickList(caption, field, number, item.Value);
        break;
    case TInputKind::Date:
        ++DateFieldCount;
        code = ui_->AskDate(caption, field, item.Value, number);
        break;
    case TInputKind::File:
        ++FileFieldCount;
        code = ui_->ReadFile(caption, field, item.Value, number);
        break;
    case TInputKind::Tcl:
        code = ui_->RunTcl(caption, field.Script, number, item.Value);
        break;
    case TInputKind::Message:
        code = ui_->ShowFieldMessage(caption, QStringLiteral("User Message"), number, field.Script);
        item.Value = QByteArray(1, '\0');
        break;
    case TInputKind::None:
        break;
    }
    switch (code) {
    case nav::Next:
        edit.SetText(FillIn(text, span, field.Name, ValueText(item.Value)));
        break;
    case nav::SaveSession: {
        const int saved = ui_->SaveSession(*this);
        code = saved == nav::Next     ? nav::SaveSession
               : saved == nav::Cancel ? nav::Cancel
                                      : nav::SessionFailed;
        break;
    }
    case nav::RestoreSession: {
        const int restored = ui_->RestoreSession(*this);
        code = restored == 0 ? nav::RestoreSession : restored;
        break;
    }
    case nav::Preview: {
        const QString marker = BookmarkMarker(1);
        QString shown = FillIn(text, span, field.Name, marker);
        qsizetype caret = shown.indexOf(marker, 0, Qt::CaseInsensitive);
        if (caret >= 0)
            shown.replace(caret, marker.size(), ValueText(item.Value));
        else
            caret = 0;
        code = ui_->ShowPreview(shown, caret, number, *this);
        break;
    }
    default:
        break;
    }
    return code;
}

bool TBXInputList::Outgrown(const TInputEdit& edit) const {
    qsizetype held = edit.Text().size();
    for (int i = 0; i < Current && i < Count(); ++i)
        held += Items[i]->TextSnapshot.size();
    return held > MaxSessionBytes;
}

int TBXInputList::Run(TInputEdit& edit) {
    int result = nav::Done;
    for (;;) {
        if (Current < 0 || Current >= Count()) Current = 0;
        const int code = ProcessField(*Items[Current], Current, edit);
        if (code == nav::Undecided && ui_ && ui_->Closing()) {
            result = nav::Cancel;
            break;
        }
        if (code == nav::Undecided || code == nav::SaveSession || code == nav::RestoreSession ||
            code == nav::SessionFailed)
            continue;
        if (code == nav::Next) {
            if (++Current > MaxSteps || Outgrown(edit)) {
                result = nav::TooMany;
                break;
            }
            if (Current >= Count()) Items.push_back(std::make_unique<TBXInputListItem>(this));
        } else if (code == nav::Back) {
            if (Current > 0) --Current;
            while (Current > 0 && (Items[Current]->Kind == TInputKind::File ||
                                   Items[Current]->Kind == TInputKind::Tcl))
                --Current;
            RestoreSnapshot(*Items[Current], edit);
        } else if (code == nav::Cancel) {
            result = nav::Cancel;
            break;
        } else if (code == nav::Restart) {
            Current = 0;
            RestoreSnapshot(*Items[0], edit);
        } else if (code == nav::Preview) {
            RestoreSnapshot(*Items[Current], edit);
        } else if (code == nav::Restored) {
            if (ui_) ui_->SessionRestored(ValueText(Items[0]->TextSnapshot));
            if (!RestoredText.isEmpty()) {
                edit.SetText(RestoredText);
                edit.SetModified(true);
                RestoredText.clear();
                TextFieldCount = 1;
                result = nav::Done;
                break;
            }
            RestoreSnapshot(*Items[Current], edit);
        } else {
            result = nav::Done;
            break;
        }
    }
    if (ui_) ui_->Finished();
    return result;
}
