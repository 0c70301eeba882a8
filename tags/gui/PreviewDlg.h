#pragma once
// "Text to Type Preview": the text as it would come out so far, with the
// later fields shown as numbered placeholders; the session can be saved or
// restored from here.
#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

class TPreviewDlg : public QDialog {
    Q_OBJECT
public:
    // session: runs a save (true) or restore (false) and returns its code;
    // a code other than 0 or nav::SessionFailed closes the preview with it.
    using TSessionAction = std::function<int(bool save)>;
    TPreviewDlg(const QString& text, qsizetype caret, int fieldNumber, const QFont& font,
                const QString& iniPath, TSessionAction session, QWidget* parent = nullptr);
    ~TPreviewDlg() override;
    int Result() const { return result_; }

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *SaveSessionBtn = nullptr,
                *RestoreSessionBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SessionBtnClick(bool save);
    TSessionAction session_;
    QString iniPath_;
    qsizetype caret_;
    int result_;
};

// Shows the preview modally and returns its code: nav::Preview, or the code
// of a session saved or restored from it.
int ShowPreview(const QString& text, qsizetype caret, int fieldNumber, const QFont& font,
                const QString& iniPath, TPreviewDlg::TSessionAction session,
                QWidget* parent = nullptr);
