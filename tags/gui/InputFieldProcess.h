#pragma once
// The windows' side of the field process: the input field form, made on the
// first field and gone when the process ends, the preview, and sessions kept
// in ".bxi" files chosen in file dialogs.
#include "tags/InputList.h"
#include "tags/InputSession.h"

#include <QPointer>
#include <functional>
#include <optional>

class TInputFieldForm;
class TInputHost;
class QWidget;

class TInputFieldProcess : public TInputFieldUi, public TSessionDialogs {
public:
    explicit TInputFieldProcess(TInputHost& host);
    ~TInputFieldProcess() override;

    // The form while fields are asked for, else null.
    TInputFieldForm* Form() const { return form_; }
    // The text of the input text window when it shows, saved with a session.
    std::function<std::optional<QString>()> ShownText;
    // A restored session's first snapshot becomes the window's original text.
    std::function<void(const QString&)> OnRestored;
    // Told of every form made, before it asks anything.
    std::function<void(TInputFieldForm&)> OnFormMade;

    int AskText(const QString& caption, const TInputField& field, QByteArray& value,
                int number) override;
    int AskPickList(const QString& caption, const TInputField& field, int number,
                    QByteArray& value) override;
    int AskDate(const QString& caption, const TInputField& field, QByteArray& value,
                int number) override;
    int ReadFile(const QString& caption, const TInputField& field, QByteArray& value,
                 int number) override;
    int RunTcl(const QString& caption, const QString& script, int number,
               QByteArray& value) override;
    int ShowFieldMessage(const QString& caption, const QString& title, int number,
                         const QString& message) override;
    int SaveSession(TBXInputList& list) override;
    int RestoreSession(TBXInputList& list) override;
    int ShowPreview(const QString& text, qsizetype caret, int number, TBXInputList& list) override;
    void SessionRestored(const QString& firstSnapshot) override;
    void Finished() override;
    bool Closing() const override;

    QString AskSaveFile(const QString& folder) override;
    QString AskOpenFile(const QString& folder) override;
    void ShowError(const QString& caption, const QString& text) override;
    QString SessionFolder() override;
    void SetSessionFolder(const QString& folder) override;
    QString DictionaryFolder() override;

private:
    TInputFieldForm& EnsureForm();
    // Around a session dialog: the hook library suspended, the form mode on.
    int WithSessionState(const std::function<int()>& action);

    TInputHost& host_;
    QPointer<TInputFieldForm> form_;
};
