#include "script/gui/InputTclDialog.h"

#include "platform/Ansi.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/Placement.h"
#include "platform/SafeFile.h"
#include "script/TclInterface.h"
#include "typing/HookClient.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("InputTclTagDlg");
const QString kFilter = QStringLiteral("Tcl scripts (*.tcl *.TCL);;All files (*)");

QString FromCrLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

int TInputTclTagDlg::evaluating_ = 0;

TInputTclTagDlg::TInputTclTagDlg(TTclInterface* tcl, const QString& iniPath, QWidget* parent)
    : QDialog(parent), tcl_(tcl), iniPath_(iniPath) {
    setObjectName(kSection);
    setWindowTitle(tr("Define @INPUTTCL Tag"));
    setSizeGripEnabled(true);
    BuildControls();
    BuildMenus();
    resize(560, 420);
    if (!iniPath_.isEmpty()) {
        const TIniFile ini(iniPath_);
        const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        const TPlacement p = Placement::Read(ini, kSection, geometry(), area, true, 50);
        setGeometry(p.Rect);
        if (p.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    }

    AskOpenFile = [this](const QString& start) {
        return QFileDialog::getOpenFileName(this, tr("Open Tcl Script"), start, kFilter);
    };
    AskSaveFile = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, tr("Save Tcl Script"), proposed, kFilter);
    };
    AskSaveChanges = [this](const QString& text) {
        return TMessageBox::Ask(this, QStringLiteral("Brevix: Save Tcl Script?"), text,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    };
    ShowError = [this](const QString& text) {
        TMessageBox::Error(this, QStringLiteral("Brevix"), text);
    };
}

TInputTclTagDlg::~TInputTclTagDlg() {
    if (iniPath_.isEmpty()) return;
    TIniFile ini(iniPath_);
    Placement::Write(ini, kSection, normalGeometry(), isMaximized(), isMinimized());
    ini.UpdateFile(); // a placement that cannot be kept is not worth a message
}

void TInputTclTagDlg::BuildControls() {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ScriptMemo = new QPlainTextEdit(this);
    ScriptMemo->setObjectName(QStringLiteral("ScriptMemo"));
    ScriptMemo->setFont(fixed);
    ScriptMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ScriptMemo->setPlaceholderText(tr("Type a Tcl script, then press F9 to run it."));
    ResultMemo = new QPlainTextEdit(this);
    ResultMemo->setObjectName(QStringLiteral("ResultMemo"));
    ResultMemo->setFont(fixed);
    ResultMemo->setReadOnly(true);

    auto* scriptLbl = new QLabel(tr("Tcl &Script:"), this);
    scriptLbl->setBuddy(ScriptMemo);
    auto* resultLbl = new QLabel(tr("&Result:"), this);
    resultLbl->setBuddy(ResultMemo);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* top = new QWidget(split);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(scriptLbl);
    topLayout->addWidget(ScriptMemo);
    auto* bottom = new QWidget(split);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(resultLbl);
    bottomLayout->addWidget(ResultMemo);
    split->addWidget(top);
    split->addWidget(bottom);
    split->setStretchFactor(0, 3);
    split->setSizes({240, 160});
    split->setStretchFactor(1, 2);

    EvalBtn = new QPushButton(tr("&Eval Script   [F9]"), this);
    EvalBtn->setObjectName(QStringLiteral("EvalBtn"));
    EvalBtn->setToolTip(tr("Run the script and show its result"));
    OpenBtn = new QPushButton(tr("O&pen"), this);
    OpenBtn->setObjectName(QStringLiteral("OpenBtn"));
    SaveBtn = new QPushButton(tr("&Save"), this);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    OKBtn = new QPushButton(tr("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton* b : {EvalBtn, OpenBtn, SaveBtn, OKBtn, CancelBtn})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(EvalBtn);
    buttons->addWidget(OpenBtn);
    buttons->addWidget(SaveBtn);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(EvalBtn, &QPushButton::clicked, this, &TInputTclTagDlg::EvalBtnClick);
    connect(OpenBtn, &QPushButton::clicked, this, &TInputTclTagDlg::OpenBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &TInputTclTagDlg::SaveBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TInputTclTagDlg::reject);
}

void TInputTclTagDlg::BuildMenus() {
    MainMenu = new QMenuBar(this);
    layout()->setMenuBar(MainMenu);
    QMenu* file = MainMenu->addMenu(tr("&File"));
    file->addAction(tr("&New"), this, &TInputTclTagDlg::New1Click);
    file->addAction(tr("&Open..."), this, &TInputTclTagDlg::OpenBtnClick);
    file->addAction(tr("&Save..."), this, &TInputTclTagDlg::SaveBtnClick);
    file->addSeparator();
    QAction* eval = file->addAction(tr("&Eval Script"), this, &TInputTclTagDlg::EvalBtnClick);
    eval->setShortcut(Qt::Key_F9);
    eval->setShortcutContext(Qt::WindowShortcut);
    addAction(eval); // F9 works with the menu closed

    QMenu* edit = MainMenu->addMenu(tr("&Edit"));
    QAction* undo = edit->addAction(tr("&Undo"), ScriptMemo, &QPlainTextEdit::undo);
    edit->addSeparator();
    QAction* cut = edit->addAction(tr("Cu&t"), ScriptMemo, &QPlainTextEdit::cut);
    QAction* copy = edit->addAction(tr("&Copy"), ScriptMemo, &QPlainTextEdit::copy);
    edit->addAction(tr("&Paste"), ScriptMemo, &QPlainTextEdit::paste);
    edit->addSeparator();
    edit->addAction(tr("Select &All"), ScriptMemo, &QPlainTextEdit::selectAll);
    undo->setEnabled(false);
    cut->setEnabled(false);
    copy->setEnabled(false);
    connect(ScriptMemo, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(ScriptMemo, &QPlainTextEdit::copyAvailable, cut, &QAction::setEnabled);
    connect(ScriptMemo, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
}

void TInputTclTagDlg::SetConsoleMode() {
    setWindowTitle(tr("Run Tcl Script"));
    OKBtn->hide();
    CancelBtn->setText(tr("Close"));
}

QString TInputTclTagDlg::Script() const {
    return ScriptMemo->toPlainText();
}

void TInputTclTagDlg::SetScript(const QString& script) {
    ScriptMemo->setPlainText(FromCrLf(script));
    ScriptMemo->document()->setModified(false);
}

bool TInputTclTagDlg::ScriptModified() const {
    return ScriptMemo->document()->isModified();
}

void TInputTclTagDlg::EvalBtnClick() {
    const QByteArray script = Ansi::FromUnicode(Script());
    QByteArray shown;
    if (tcl_) {
        THooks& hooks = THooks::Instance();
        const int state = hooks.FSM();
        ++evaluating_;
        const bool ok = tcl_->Eval(script);
        --evaluating_;
        hooks.SetFSM(state);
        shown = ok ? tcl_->GetResult() : tcl_->GetFailureText();
    }
    ResultMemo->setPlainText(FromCrLf(Ansi::ToUnicode(shown)));
    ScriptMemo->setFocus();
}

void TInputTclTagDlg::OpenBtnClick() {
    if (!MayDropScript()) return;
    const QString path = AskOpenFile(fileName_);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(tr("Cannot open \"%1\":\n%2").arg(path, file.errorString()));
        return;
    }
    if (file.size() > MaxScriptBytes) {
        ShowError(tr("\"%1\" is too large to be a script (%2 bytes).").arg(path).arg(file.size()));
        return;
    }
    SetScript(Ansi::ToUnicode(file.read(MaxScriptBytes)));
    fileName_ = path;
    ScriptMemo->setFocus();
}

bool TInputTclTagDlg::SaveBtnClick() {
    QString path = AskSaveFile(fileName_).trimmed();
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".tcl");
    QString error;
    if (!SafeFile::Write(path, Ansi::FromUnicode(Script()), &error)) {
        ShowError(tr("The script could not be saved to \"%1\":\n%2").arg(path, error));
        return false;
    }
    fileName_ = path;
    ScriptMemo->document()->setModified(false);
    return true;
}

void TInputTclTagDlg::New1Click() {
    if (!MayDropScript()) return;
    SetScript(QString());
    ResultMemo->clear();
    fileName_.clear();
}

bool TInputTclTagDlg::MayDropScript() {
    if (!ScriptModified()) return true;
    switch (AskSaveChanges(
        tr("Your text in the script was modified.\nDo you want to save the changes to a file?"))) {
    case QMessageBox::Yes:
        return SaveBtnClick();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TInputTclTagDlg::reject() {
    if (MayDropScript()) QDialog::reject();
}
