#pragma once
// The Tcl script dialog: writes an {@INPUTTCL} tag for the entry editor and,
// captioned "Run Tcl Script", serves as the script console of the File menu.
// Scripts are evaluated in the program's one interpreter; a failure shows in
// the result box in the one failure format of the Tcl host.
#include <QDialog>
#include <QString>
#include <functional>

class TTclInterface;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

class TInputTclTagDlg : public QDialog {
    Q_OBJECT
public:
    // iniPath: the settings file that keeps the dialog's placement; empty for none.
    explicit TInputTclTagDlg(TTclInterface* tcl, const QString& iniPath = QString(),
                             QWidget* parent = nullptr);
    ~TInputTclTagDlg() override;

    // The console: its own caption, no OK, and Cancel captioned "Close".
    void SetConsoleMode();

    QString Script() const;
    void SetScript(const QString& script);
    bool ScriptModified() const;
    QString FileName() const { return fileName_; }

    void EvalBtnClick();
    void OpenBtnClick();
    // True when the script was written to a file.
    bool SaveBtnClick();
    void New1Click();

    // A script evaluated from this dialog is running.
    static bool Evaluating() { return evaluating_ > 0; }

    // What the dialog asks the user; tests replace them.
    std::function<QString(const QString& startPath)> AskOpenFile;
    std::function<QString(const QString& proposedPath)> AskSaveFile;
    // QMessageBox::Yes, No or Cancel.
    std::function<int(const QString& text)> AskSaveChanges;
    std::function<void(const QString& text)> ShowError;

    QMenuBar* MainMenu = nullptr;
    QPlainTextEdit* ScriptMemo = nullptr;
    QPlainTextEdit* ResultMemo = nullptr;
    QPushButton* EvalBtn = nullptr;
    QPushButton* OpenBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Larger files are refused rather than loaded into the script box.
    static constexpr qint64 MaxScriptBytes = 16 * 1024 * 1024;

public slots:
    // Cancel, Close, Esc and the window's close box: a modified script is
    // offered for saving first.
    void reject() override;

private:
    void BuildControls();
    void BuildMenus();
    // False when the user chose to stay.
    bool MayDropScript();

    TTclInterface* tcl_;
    QString iniPath_;
    QString fileName_;
    static int evaluating_;
};
