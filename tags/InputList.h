#pragma once
// The fields of one input session with their answers, and the driver that
// asks for them one at a time: each answer replaces its tag (and the
// references to a named field) in the text, and every step keeps the text as
// it was before, so Back, Restart and preview can go back to it. QtCore only:
// the text lives behind TInputEdit and the asking behind TInputFieldUi.
#include "tags/InputFields.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class TBXInputList;

// The control holding the text being filled in.
class TInputEdit {
public:
    virtual ~TInputEdit() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void SetModified(bool modified) = 0;
};

// What the driver asks of the windows. Each field operation returns a
// navigation code (nav::) and leaves the answer in value.
class TInputFieldUi {
public:
    virtual ~TInputFieldUi() = default;
    virtual int AskText(const QString& caption, const TInputField& field, QByteArray& value,
                        int number) = 0;
    virtual int AskPickList(const QString& caption, const TInputField& field, int number,
                            QByteArray& value) = 0;
    virtual int AskDate(const QString& caption, const TInputField& field, QByteArray& value,
                        int number) = 0;
    virtual int ReadFile(const QString& caption, const TInputField& field, QByteArray& value,
                         int number) = 0;
    virtual int RunTcl(const QString& caption, const QString& script, int number,
                       QByteArray& value) = 0;
    virtual int ShowFieldMessage(const QString& caption, const QString& title, int number,
                                 const QString& message) = 0;
    // nav::Next (saved), nav::Cancel (saved, and the script asked to stop) or
    // nav::SessionFailed.
    virtual int SaveSession(TBXInputList& list) = 0;
    // nav::Restored or 0.
    virtual int RestoreSession(TBXInputList& list) = 0;
    // The text as it would be typed, caret where the answer went.
    virtual int ShowPreview(const QString& text, qsizetype caret, int number,
                            TBXInputList& list) = 0;
    // A session came back: the input text window takes the first snapshot
    // as its original text. Nothing to do without that window.
    virtual void SessionRestored(const QString& firstSnapshot) { Q_UNUSED(firstSnapshot); }
    // The process ended: the form goes.
    virtual void Finished() {}
    // The program is closing: a field left undecided ends the process
    // instead of being asked again.
    virtual bool Closing() const { return false; }
};

// Where the session stream goes: its bytes as they are, or straight into
// their hexadecimal digits, so a large session is never held twice.
class TStreamSink {
public:
    virtual ~TStreamSink() = default;
    virtual void Put(const char* data, qsizetype size) = 0;
};

// Where it is read from. Read fails when fewer than size bytes are left or
// they cannot be decoded; nothing is read past a failure.
class TStreamSource {
public:
    virtual ~TStreamSource() = default;
    virtual qsizetype Left() const = 0;
    virtual bool Read(char* to, qsizetype size) = 0;
};

class TByteSink : public TStreamSink {
public:
    explicit TByteSink(QByteArray& out) : out_(out) {}
    void Put(const char* data, qsizetype size) override { out_.append(data, size); }

private:
    QByteArray& out_;
};

// The session stream read from a byte array, from pos on.
class TByteSource : public TStreamSource {
public:
    explicit TByteSource(const QByteArray& data, qsizetype pos = 0) : data_(data), pos_(pos) {}
    qsizetype Left() const override { return data_.size() - pos_; }
    bool Read(char* to, qsizetype size) override;
    qsizetype Pos() const { return pos_; }

private:
    const QByteArray& data_;
    qsizetype pos_;
};

class TBXInputListItem {
public:
    explicit TBXInputListItem(TBXInputList* owner) : Owner(owner) {}

    TInputKind Kind = TInputKind::None;
    uint32_t Reserved1 = 0, Reserved2 = 0;
    QByteArray TagText;      // NUL-terminated, Windows-1252
    QByteArray Value;        // the value block of the answer
    QByteArray TextSnapshot; // NUL-terminated: the text before this field
    TBXInputList* Owner;

    qsizetype StreamSize() const;
    void WriteStream(TStreamSink& out) const;
};

class TBXInputList {
public:
    static constexpr int MaxSteps = 256;
    static constexpr int MaxReferences = 1000;
    // What the text and the snapshots of its steps may hold together (bytes):
    // answers that hold their own field's tag and references grow the text
    // at every step, and each step keeps a copy of it.
    static constexpr qsizetype MaxSessionBytes = qsizetype(64) << 20;

    TBXInputList();

    std::vector<std::unique_ptr<TBXInputListItem>> Items;
    int Current = 0;
    int DateFieldCount = 0;
    int TextFieldCount = 0;
    int FileFieldCount = 0;
    QString RestoredText;

    bool Interactive() const { return DateFieldCount > 0 || TextFieldCount > 0; }
    int Count() const { return static_cast<int>(Items.size()); }

    void SetUi(TInputFieldUi* ui) { ui_ = ui; }
    int ProcessField(TBXInputListItem& item, int index, TInputEdit& edit);
    // nav::Done, nav::Cancel or nav::TooMany.
    int Run(TInputEdit& edit);
    void RestoreSnapshot(const TBXInputListItem& item, TInputEdit& edit) const;

    QByteArray SaveToStream() const;
    // The bytes SaveToStream gives, and those bytes handed to a sink.
    qsizetype StreamSize() const;
    void WriteStream(TStreamSink& out) const;
    // False, with the reason in *error, when data is not a whole session; the
    // list is then as it was. data must hold nothing after the list.
    bool LoadFromStream(const QByteArray& data, QString* error = nullptr);
    // As LoadFromStream, reading from pos on and leaving pos after the list.
    bool LoadFromStream(const QByteArray& data, qsizetype& pos, QString* error);
    // As LoadFromStream, leaving in the source what follows the list.
    bool ReadStream(TStreamSource& in, QString* error);

private:
    // The answer in place of the tag at span, then in place of the
    // references to its name. Returns the text.
    static QString FillIn(QString text, TTagSpan span, const QString& name, const QString& answer);
    // The text and the snapshots up to the current step outgrow MaxSessionBytes.
    bool Outgrown(const TInputEdit& edit) const;

    TInputFieldUi* ui_ = nullptr;
};
