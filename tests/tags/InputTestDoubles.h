#pragma once
// A text control and a form that answer from a script of steps, for driving
// the field process without windows.
#include "tags/InputList.h"

#include <deque>
#include <functional>

class TFakeEdit : public TInputEdit {
public:
    explicit TFakeEdit(QString text = {}) : text_(std::move(text)) {}
    QString Text() const override { return text_; }
    void SetText(const QString& text) override { text_ = text; }
    void SetModified(bool m) override { modified_ = m; }
    bool Modified() const { return modified_; }

private:
    QString text_;
    bool modified_ = false;
};

// Each asked field takes the next step: it may check what it was asked and
// set the answer; it returns the button pressed.
struct TAsked {
    TInputKind Kind;
    QString Caption;
    TInputField Field;
    QByteArray& Value;
    QString Message;
};
using TStep = std::function<int(TAsked&)>;

inline TStep Answer(const QString& text, int code = nav::Next) {
    return [text, code](TAsked& a) {
        a.Value = TextValue(text);
        return code;
    };
}
inline TStep Press(int code) {
    return [code](TAsked&) { return code; };
}

class TScriptedUi : public TInputFieldUi {
public:
    std::deque<TStep> Steps;
    QList<TInputKind> Kinds;   // every field asked, in order
    QList<QByteArray> Offered; // the value each field started with
    QStringList Previews;
    qsizetype PreviewCaret = -1;
    int Finishes = 0;
    std::function<int(TBXInputList&)> OnSave, OnRestore;
    bool Closing_ = false;

    int Ask(TInputKind kind, const QString& caption, const TInputField& field, QByteArray& value,
            const QString& message = {}) {
        Kinds.append(kind);
        Offered.append(value);
        if (Steps.empty()) return nav::Cancel;
        TStep step = Steps.front();
        Steps.pop_front();
        TAsked a{kind, caption, field, value, message};
        return step(a);
    }
    int AskText(const QString& c, const TInputField& f, QByteArray& v, int) override {
        return Ask(TInputKind::Text, c, f, v);
    }
    int AskPickList(const QString& c, const TInputField& f, int, QByteArray& v) override {
        return Ask(TInputKind::PickList, c, f, v);
    }
    int AskDate(const QString& c, const TInputField& f, QByteArray& v, int) override {
        return Ask(TInputKind::Date, c, f, v);
    }
    int ReadFile(const QString& c, const TInputField& f, QByteArray& v, int) override {
        return Ask(TInputKind::File, c, f, v);
    }
    int RunTcl(const QString& c, const QString& script, int, QByteArray& v) override {
        TInputField f;
        f.Script = script;
        return Ask(TInputKind::Tcl, c, f, v);
    }
    int ShowFieldMessage(const QString& c, const QString&, int, const QString& m) override {
        QByteArray v;
        return Ask(TInputKind::Message, c, {}, v, m);
    }
    int SaveSession(TBXInputList& l) override { return OnSave ? OnSave(l) : nav::SessionFailed; }
    int RestoreSession(TBXInputList& l) override { return OnRestore ? OnRestore(l) : 0; }
    int ShowPreview(const QString& text, qsizetype caret, int, TBXInputList&) override {
        Previews.append(text);
        PreviewCaret = caret;
        return nav::Preview;
    }
    void Finished() override { ++Finishes; }
    bool Closing() const override { return Closing_; }
};
