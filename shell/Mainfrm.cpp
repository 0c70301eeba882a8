#include "shell/Mainfrm.h"
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/MessageBox.h"
#include "platform/Placement.h"
#include "script/BxCommands.h"
#include "script/ScriptEvaluator.h"
#include "script/ScriptHost.h"
#include "script/ScriptServer.h"
#include "script/TclInterface.h"
#include "script/gui/TclConsole.h"
#include "shell/AppIcon.h"
#include "shell/HelpWindow.h"
#include "shell/HintTimes.h"
#include "shell/MainfrmEntries.h"
#include "shell/MainfrmHosts.h"
#include "shell/MainfrmScriptHost.h"
#include "shell/MainfrmShortcuts.h"
#include "shell/OwnInputKeys.h"
#include "shell/ProgramFiles.h"
#include "typing/Autorepl.h"
#include "typing/DesktopKeyboardLayout.h"
#include "typing/HookClient.h"
#include "typing/InjectText.h"
#include "typing/LookupServices.h"
#include "typing/Stats.h"
#include "typing/TypingController.h"
#include "typing/TypingHost.h"
#include "typing/gui/HintWindows.h"
#include "typing/gui/StatisticsDialog.h"
#include "typing/gui/SuggestStyle.h"
#include "typing/gui/SuggestionWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace {
const QString kCaption = QStringLiteral("Brevix");
constexpr int kHideAtStartDelayMsec = 300;

TFontSpec ToSpec(const QFont& f) {
    return {f.family(), f.pointSize() > 0 ? f.pointSize() : 9, f.bold()};
}

QString DefaultConfigDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QStringLiteral("/brevix/");
}

using SuggestStyle::FromWinColor;
using SuggestStyle::ToFont;

// Forms that are open; exit() while one is, with the X server gone, comes
// from Qt's lost connection.
std::atomic<int> gOpenForms{0};

// Qt ends the program with exit() when its connection to the X server
// breaks. The destructors that exit() runs would tear objects down under the
// hook's threads and the typing worker, which still run: end at once.
void EndIfDisplayLost() {
    if (gOpenForms.load() > 0 && BxDisplayLost()) {
        static const char kMessage[] = "Brevix: the X display is gone; ending.\n";
        [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
        _exit(1);
    }
}
} // namespace

TMainForm::TMainForm(const QStringList& params, QWidget* parent,
                     const std::function<void(TMainForm*)>& prepare)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaption);
    setWindowIcon(AppIcon());
    BuildControls();
    BuildMenus();
    BuildPopupMenus();
    static bool f1Installed = false;
    if (!f1Installed) {
        f1Installed = true;
        THelpWindow::InstallF1(qApp);
    }
    FileShortcuts = new TMainShortcuts(this);
    BuildTray();
    if (prepare) prepare(this);
    BuildDictionaryControls();
    BuildLinkControls();
    BuildEntryCommands();
    CreateHandle();
    try {
        FormCreate(params);
    } catch (...) {
        FormClose(); // the hook library is released even when start-up fails
        throw;
    }
    // Registered after the objects start-up made, so that it runs before
    // their destructors do.
    static const bool exitWatched = std::atexit(EndIfDisplayLost) == 0;
    (void)exitWatched;
    ++gOpenForms;
}

TMainForm::~TMainForm() {
    FormClose();
    THooks::Instance().UnregisterWindow(handle_);
    --gOpenForms;
}

QString TMainForm::IniPath() const {
    return JoinPath(ConfigDir, SettingsStore::kFileName);
}

void TMainForm::BuildControls() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 0);
    outer->setSpacing(4);

    auto* inputPnl = new QWidget(central);
    inputPnl->setObjectName(QStringLiteral("InputPnl"));
    auto* row = new QHBoxLayout(inputPnl);
    row->setContentsMargins(0, 0, 0, 0);
    auto* keywordLbl = new QLabel(tr("&Keyword:"), inputPnl);
    KeywordEdit = new QLineEdit(inputPnl);
    KeywordEdit->setObjectName(QStringLiteral("KeywordEdit"));
    KeywordEdit->setPlaceholderText(tr("Type a keyword to find it"));
    KeywordEdit->setClearButtonEnabled(true);
    keywordLbl->setBuddy(KeywordEdit);
    TypeItBtn = new QPushButton(tr("&Type It"), inputPnl);
    TypeItBtn->setObjectName(QStringLiteral("TypeItBtn"));
    TypeItBtn->setToolTip(tr("Type the text into the window you came from"));
    TypeItBtn->setDefault(true);
    HideBtn = new QPushButton(tr("&Hide"), inputPnl);
    HideBtn->setObjectName(QStringLiteral("HideBtn"));
    HideBtn->setToolTip(tr("Hide Brevix; it keeps running in the notification area"));
    AutoReplaceChk = new QCheckBox(tr("&Auto-Replace"), inputPnl);
    AutoReplaceChk->setObjectName(QStringLiteral("AutoReplaceChk"));
    AutoReplaceChk->setToolTip(tr("Replace keywords as you type them in any program"));
    row->addWidget(keywordLbl);
    row->addWidget(KeywordEdit, 1);
    row->addWidget(TypeItBtn);
    row->addWidget(HideBtn);
    row->addSpacing(8);
    row->addWidget(AutoReplaceChk);
    outer->addWidget(inputPnl);

    GrabBar = new QSplitter(Qt::Vertical, central);
    GrabBar->setObjectName(QStringLiteral("GrabBar"));
    GrabBar->setChildrenCollapsible(false);
    auto* memoPnl = new QWidget(GrabBar);
    auto* memoLayout = new QVBoxLayout(memoPnl);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->setSpacing(2);
    TextToTypeLbl = new QLabel(tr("Te&xt to Type"), memoPnl);
    TextToTypeLbl->setObjectName(QStringLiteral("TextToTypeLbl"));
    TextToTypeLbl->setToolTip(tr("Click here to bring up menu."));
    Memo1 = new QPlainTextEdit(memoPnl);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlaceholderText(tr("The text of the selected entry appears here."));
    TextToTypeLbl->setBuddy(Memo1);
    memoLayout->addWidget(TextToTypeLbl);
    memoLayout->addWidget(Memo1);
    Grid = new QTableView(GrabBar);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setAlternatingRowColors(true);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrabBar->addWidget(memoPnl);
    GrabBar->addWidget(Grid);
    GrabBar->setStretchFactor(0, 1);
    GrabBar->setStretchFactor(1, 3);
    outer->addWidget(GrabBar, 1);

    TabSet1 = new QTabBar(central);
    TabSet1->setObjectName(QStringLiteral("TabSet1"));
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->setMovable(true);
    TabSet1->setExpanding(false);
    TabSet1->setDocumentMode(true);
    outer->addWidget(TabSet1);
    setCentralWidget(central);

    StatusLbl = new QLabel(this);
    statusBar()->addWidget(StatusLbl, 1);
    resize(640, 480);

    connect(HideBtn, &QPushButton::clicked, this, &TMainForm::HideBtnClick);
    connect(TypeItBtn, &QPushButton::clicked, this, &TMainForm::TypeItBtnClick);
    connect(Grid, &QTableView::doubleClicked, this, &TMainForm::TypeItBtnClick);
    connect(AutoReplaceChk, &QCheckBox::toggled, this, &TMainForm::AutoReplaceChkClick);
    typingHost_ = MakeTypingHost(*this);
    Typing = new TTypingController(*typingHost_, this);
    // A dialog of ours taking the keyboard is seen here, not by the main window.
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this] { ApplicationActivationChanged(); });
}

void TMainForm::BuildMenus() {
    File1 = menuBar()->addMenu(tr("&File"));
    New1 = File1->addAction(tr("&New..."), this, &TMainForm::New1Click);
    New1->setShortcut(QKeySequence::New);
    Open1 = File1->addAction(tr("&Open..."), this, &TMainForm::AddFile1Click);
    Open1->setShortcut(QKeySequence::Open);
    Save1 = File1->addAction(tr("&Save"), this, &TMainForm::Save1Click);
    Save1->setShortcut(QKeySequence::Save);
    SaveAs1 = File1->addAction(tr("Save &As..."), this, &TMainForm::SaveAs1Click);
    CloseFile1 = File1->addAction(tr("&Close"), this, &TMainForm::CloseFile1Click);
    File1->addSeparator();
    QAction* runTcl = File1->addAction(tr("Run Tcl Script..."), this, [this] {
        if (ScriptHost) RunTclScriptConsole(*ScriptHost, Tcl.get());
    });
    runTcl->setShortcut(Qt::Key_F9);
    RunFileConverter1 =
        File1->addAction(tr("&Run File Converter"), this, &TMainForm::RunFileConverter1Click);
    Preferences1 = File1->addAction(tr("&Preferences..."), this, [this] { Preferences1Click(); });
    Preferences1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    StartWithSession1 =
        File1->addAction(tr("Start with the &Session"), this, &TMainForm::StartWithSession1Click);
    StartWithSession1->setCheckable(true);
    File1->addSeparator();
    File1->addAction(tr("E&xit"), this, &TMainForm::Exit1Click);
    File1->addSeparator();
    FileHistory1 = File1->addAction(tr("File History:"));
    FileHistory1->setEnabled(false);
    connect(File1, &QMenu::aboutToShow, this, &TMainForm::FileMenuAboutToShow);

    Dictionary1 = menuBar()->addMenu(tr("&Dictionary"));
    Refresh1 = Dictionary1->addAction(tr("&Refresh"), this, &TMainForm::Refresh1Click);
    Refresh1->setShortcut(QKeySequence::Refresh);
    Dictionary1->addSeparator();
    ShowTexttoTypebox1 = Dictionary1->addAction(tr("Show Te&xt to Type Box"));
    ShowTexttoTypebox1->setCheckable(true);
    ShowTexttoTypebox1->setChecked(true);
    connect(ShowTexttoTypebox1, &QAction::toggled, this, &TMainForm::ShowTextToTypeBox);

    Shortcuts1 = menuBar()->addMenu(tr("&Shortcuts"));

    Dictionary1->addSeparator();
    Dictionary1->addAction(tr("&Statistics..."), this, &TMainForm::Stats1Click);

    BuildSearchMenus();

    Help1 = menuBar()->addMenu(tr("&Help"));
    QAction* contents = Help1->addAction(
        tr("&Contents"), this, [] { THelpWindow::ShowPage(QStringLiteral("index.html")); });
    contents->setShortcut(Qt::Key_F1);
    contents->setShortcutContext(Qt::WidgetShortcut); // F1 is answered program-wide
    Help1->addAction(tr("&Getting Started"), this,
                     [] { THelpWindow::ShowPage(QStringLiteral("howto.html")); });
    Help1->addSeparator();
    Help1->addAction(tr("System &Configuration..."), this, &TMainForm::SystemConfig1Click);
    Help1->addAction(tr("&Error Report..."), this, &TMainForm::ErrorReport1Click);
    Help1->addAction(tr("&Diagnostic Log..."), this, &TMainForm::DiagnosticLog1Click);
    Help1->addAction(tr("&About Brevix"), this, &TMainForm::About1Click);
}

void TMainForm::BuildTray() {
    TrayPopupMenu = new QMenu(this);
    connect(TrayPopupMenu->addAction(tr("&Open Brevix")), &QAction::triggered, this,
            &TMainForm::TrayOpenOptClick);
    TrayPopupMenu->addSeparator();
    connect(TrayPopupMenu->addAction(tr("E&xit")), &QAction::triggered, this,
            &TMainForm::Exit1Click);
    Tray1 = new QSystemTrayIcon(AppIcon(), this);
    Tray1->setContextMenu(TrayPopupMenu);
    connect(Tray1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r != QSystemTrayIcon::Trigger && r != QSystemTrayIcon::DoubleClick) return;
        if (!TrayRecordingClick()) TrayOpenOptClick();
    });
}

void TMainForm::CreateHandle() {
    handle_ = static_cast<BxHwnd>(winId());
    THooks& hooks = THooks::Instance();
    hooks.RegisterWindow(handle_,
                         [this](uint32_t m, uintptr_t w, intptr_t l) { return WndProc(m, w, l); });
    hookUnavailable_ = !hooks.Init(handle_);
    if (hookUnavailable_) return; // another instance holds the library
    InstallKeyboardFilter(1);
    HookInstalled = true;
    hooks.SetFSM(BX_FSM_SUSPENDED);
}

void TMainForm::ComputeHighestChar() {
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseSensitive);
    unsigned char best = 1;
    for (int c = 2; c <= 255; ++c)
        if (collator.compare(QString(Ansi::CharToUnicode(static_cast<unsigned char>(c))),
                             QString(Ansi::CharToUnicode(best))) > 0)
            best = static_cast<unsigned char>(c);
    HighestChar = QString(Ansi::CharToUnicode(best));
}

void TMainForm::FormCreate(const QStringList& params) {
    ConfigDir = DefaultConfigDir();
    ComputeHighestChar();
    if (HookUnavailable()) Tray1->hide();
    CommandLine = ParseCommandLine(params); // throws: nothing is written
    if (!CommandLine.ConfigDir.isEmpty())
        ConfigDir = CommandLine.ConfigDir;
    else
        QDir().mkpath(ConfigDir);
    LoadSettings();
    ApplySpelling();
    FileShortcuts->EditShortcuts = [this] { Preferences2Click(); };
    FileShortcuts->RebuildShortcutsMenu();
    servicesHost_ = MakeServicesHost(*this);
    Services = std::make_unique<TMainServices>(*Typing, *servicesHost_);
    Services->Dictionary.SetDictionary(&Session.Dict());
    hintHost_ = MakeHintHost(*this);
    Hints = std::make_unique<TMainHints>(*hintHost_);
    Engine = std::make_unique<TAutoReplaceEngine>(*Services, Hints.get());
    Typing->SetEngine(Engine.get());
    OwnKeys = std::make_unique<TOwnInputKeys>(
        [this] { return Typing->InputFormMode ? OpenInputFormControl() : nullptr; },
        [this](uint16_t code, int flags) { return HookKeyMessage(code, flags); });
    qApp->installEventFilter(OwnKeys.get());
    Engine->SetAlphaChars(Ansi::FromUnicode(Settings.AlphaChars));
    Engine->SetAltInsMinWordLength(Settings.AltInsMinWordLength);
    CreateScripting();
    OpenStoredDictionaries();
    Initialised = true;
    OpenFirstDictionary();
    // A second instance only hands over: it makes no windows that would
    // write their places.
    if (Settings.Has(aoAutoReplace) && !HookUnavailable()) {
        Engine->InitEngine();
        Engine->SetOptions(Settings.AutoReplaceOptions);
        UpdateEngineDictionary();
    }
    if (!HookUnavailable()) {
        const QString backend = QString::fromLatin1(BxBackendName());
        // Key names and the engine's tables follow the desktop's layout.
        if (auto layout = TX11KeyboardLayout::Read()) {
            SetCurrentKeyboardLayout(layout);
            if (Engine) Engine->RebuildKeyboardTables();
        }
        if (backend.isEmpty())
            StatusLbl->setText(tr("Keys cannot be watched (%1): auto-replace is off.")
                                   .arg(QString::fromLocal8Bit(BxLastError())));
        else
            StatusLbl->setText(tr("Watching keys (%1).").arg(backend));
    }
}

void TMainForm::LoadSettings() {
    ApplyHintTimes();
    Tray1->setToolTip((windowTitle() + QStringLiteral(" 10.00")).left(62));
    TSettingsDefaults d;
    d.GridColWidth = Grid->horizontalHeader()->defaultSectionSize();
    d.ClientWidth = width();
    d.ClientHeight = height();
    d.MainFont = ToSpec(font());
    d.GridFont = ToSpec(Grid->font());
    d.BackgroundColor = 0xF0F0F0;

    TIniFile ini(IniPath());
    move(100, 100);
    const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const TPlacement p =
        Placement::Read(ini, QStringLiteral("MainForm"), geometry(), area, true, 50);
    setGeometry(p.Rect);
    if (p.Maximized) setWindowState(windowState() | Qt::WindowMaximized);

    Settings = SettingsStore::Load(ini, d);
    Statistics = std::make_unique<TKeyStatistics>(TKeyCountSource::Hook());
    Typing->SetStatistics(Statistics.get());
    Statistics->Load(Settings.AutoKeys, Settings.UserKeys, Settings.StatDate);
    if (ini.Modified() && !ini.UpdateFile())
        throw EBrevix(tr("Cannot write the settings file:\r\n%1").arg(ini.ErrorString()));
    ApplySettings();
    SettingsLoaded = true;
}

void TMainForm::ApplySettings() {
    const TSettings& s = Settings;
    Typing->Apps.Configure(s.AppRules, s.AppOptions);
    if (!HookUnavailable()) {
        ResetKeyCount();
        EnableMouseResets(!s.Has(aoSupportOnscreenKeyboards));
        EnableSafeMode(s.Has(goEnableSafetyChecks));
        SetWSOmsec(s.WSOLongMsec, s.WSOShortMsec);
        SetPause(s.PauseMsec, s.PauseKeystrokeInterval);
    }
    AutoReplaceChk->setChecked(s.Has(aoAutoReplace));
    Grid->horizontalHeader()->setDefaultSectionSize(s.KeyCol);
    if (s.Grabbar > 0) GrabBar->setSizes({s.Grabbar, std::max(1, height() - s.Grabbar)});
    ShowTexttoTypebox1->setChecked(s.ShowTextToTypeBox);
    ShowTextToTypeBox(s.ShowTextToTypeBox);
    DiagLog.SetEnabled(s.DiagnosticLog);
    ApplyLook();
}

void TMainForm::ApplyLook() {
    const TSettings& s = Settings;
    const QColor bg = FromWinColor(s.BackgroundColor);
    for (QWidget* w : {centralWidget(), static_cast<QWidget*>(TabSet1)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, bg);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    }
    Memo1->setFont(ToFont(s.EditorFont, Memo1->font()));
    Grid->setFont(ToFont(s.GridFont, Grid->font()));
    Grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(Grid->font()).height() + 4);
}

void TMainForm::CreateScripting() {
    Tcl = std::make_unique<TTclInterface>();
    connect(Tcl.get(), &TTclInterface::Message, this,
            [this](TTclInterface::TMessageKind kind, const QString& caption, const QString& text) {
                TMessageBox box(kind == TTclInterface::TMessageKind::Warning
                                    ? QMessageBox::Warning
                                    : QMessageBox::Information,
                                caption, text, QMessageBox::Ok, isVisible() ? this : nullptr);
                if (kind == TTclInterface::TMessageKind::Information)
                    box.setWindowFlag(Qt::WindowStaysOnTopHint);
                box.exec();
            });
    // Closed as "bx_window exit" closes it, so that settings and dictionaries are kept.
    connect(Tcl.get(), &TTclInterface::ExitRequested, this, &QWidget::close);
    ScriptHost = MakeScriptHost(*this);
    RegisterWindowFileListCommands(*Tcl, *ScriptHost);
    Tcl->SetTimeLimit(Settings.ScriptTimeLimit);
    Tcl->Create(ConfigDir, ProgramDataDir());
    if (!CommandLine.CommandLineScript.isEmpty())
        Tcl->RunCommandLineScript(CommandLine.CommandLineScript);
    if (CommandLine.Port) {
        TclEvaluator = std::make_unique<TTclEvaluator>(*Tcl);
        ScriptServer = std::make_unique<TScriptServer>(*TclEvaluator);
        ScriptServer->SetReadiness([this] { return ReadyForScript(); });
        QString error;
        if (!ScriptServer->Listen(static_cast<quint16>(*CommandLine.Port), &error))
            throw EBrevix(tr("The script server cannot listen on port %1:\r\n%2")
                              .arg(*CommandLine.Port)
                              .arg(error));
    }
}

bool TMainForm::ScriptRunning() const {
    return Tcl && Tcl->IsBusy();
}

bool TMainForm::ReadyForScript() const {
    return Typing->Idle() && QApplication::activeModalWidget() == nullptr;
}

void TMainForm::Stats1Click() {
    if (!Statistics) return;
    TStatisticsDlg dlg(*Statistics, IniPath(), this);
    dlg.exec();
}

void TMainForm::UpdateGrabbedKeys() {
    if (hookUnavailable_) return;
    const std::vector<uint16_t> keys = GrabbedKeys();
    BxSetGrabbedKeys(keys.data(), static_cast<int>(keys.size()));
}

std::vector<uint16_t> TMainForm::GrabbedKeys() const {
    std::vector<uint16_t> keys;
    for (const auto& entry : Session.ShortcutIndex())
        if (entry.first) keys.push_back(entry.first);
    for (uint16_t c : Settings.FileShortcutCodes)
        if (c) keys.push_back(c);
    if (Hints)
        for (uint16_t c : Hints->SuggestionKeys)
            keys.push_back(c);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

void TMainForm::ShowTextToTypeBox(bool on) {
    Settings.ShowTextToTypeBox = on;
    TextToTypeLbl->setVisible(on);
    Memo1->setVisible(on);
    TextToTypeLbl->parentWidget()->setVisible(on);
}

void TMainForm::SaveSettings() {
    WriteFileLists();
    if (HookUnavailable() || !Initialised || !SettingsLoaded) return;
    TIniFile ini(IniPath());
    const bool minimized = isMinimized() || !isVisible();
    Placement::Write(ini, QStringLiteral("MainForm"), normalGeometry(), isMaximized(),
                     minimized && !isMaximized() && isMinimized());
    if (Statistics) {
        qint64 program = 0, user = 0;
        Statistics->GetKeyCounts(program, user);
        Settings.AutoKeys = static_cast<uint32_t>(program);
        Settings.UserKeys = static_cast<uint32_t>(user);
        Settings.StatDate = Statistics->StatDate();
    }
    Settings.Set(aoAutoReplace, AutoReplaceChk->isChecked());
    Settings.KeyCol = Grid->horizontalHeader()->sectionSize(0);
    if (Grid->model() && Grid->model()->columnCount() > 1)
        Settings.ShortCutCol = Grid->horizontalHeader()->sectionSize(1);
    const QList<int> sizes = GrabBar->sizes();
    SettingsStore::WriteExit(ini, Settings, sizes.isEmpty() ? 0 : sizes.first());
    if (!ini.UpdateFile())
        TMessageBox::Warn(this, kCaption,
                          tr("The settings could not be saved:\n%1").arg(ini.ErrorString()));
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (StartupDone || closing_) return;
    if (HookUnavailable()) {
        AnnounceOtherInstance();
        return;
    }
    PostMessage(wm::FirstShow);
}

void TMainForm::AnnounceOtherInstance() {
    const BxHwnd other = GetMainWindow();
    if (!(other && BxPostMessage(other, svc::ShowMainWindow, 0, 0))) {
        TMessageBox box(QMessageBox::Information, kCaption,
                        tr("Brevix (or another version of it) is already running!"),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMainForm::FirstShow() {
    if (StartupDone) return;
    QCoreApplication::processEvents();
    ScrollTabsToEnd();
    raise();
    activateWindow();
    if ((Settings.Has(goRunMinimized) || CommandLine.Autostart) && !KeepShownAtStart) {
        KeepShownAtStart = true;
        // Once the window manager has mapped the window: a window minimised
        // before it is mapped comes up normal and active anyway.
        QTimer::singleShot(kHideAtStartDelayMsec, HideBtn, &QPushButton::click);
    }
    SetFSM(BX_FSM_WATCHING);
    StartupDone = true;
    if (ScriptServer) ScriptServer->MarkStarted();
}

void TMainForm::SetFSM(int state) {
    if (!hookUnavailable_) THooks::Instance().SetFSM(state);
}

void TMainForm::PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    THooks::Instance().Post(handle_, msg, wParam, lParam);
}

intptr_t TMainForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case BX_MSG_KEY:
        return HookKeyMessage(static_cast<uint16_t>(wParam & 0xFFFF),
                              static_cast<int>((lParam >> 16) & 0xFFFF));
    case BX_MSG_MOUSE_RESET:
        if (Engine) {
            Engine->MouseReset();
            Engine->UpdateHint();
        }
        return 0;
    case BX_MSG_PREV_CHAR:
        return Engine ? Engine->PreviousKeyChar(static_cast<unsigned char>(wParam)) : 0;
    case BX_MSG_PLAYBACK:
        InstallPlayBackFunc(1);
        return 0;
    case BX_MSG_QUERY:
    case BX_MSG_IGNORED1:
    case BX_MSG_IGNORED2:
    case svc::Unused406:
        return 0;
    case svc::PostKey:
        // At once rather than posted: keys the user typed meanwhile wait in
        // the queue and must come after it.
        if (OwnKeys)
            OwnKeys->SendKey(OwnKeys->ControlFor(static_cast<BxHwnd>(lParam)),
                             static_cast<uint8_t>(wParam));
        return 0;
    case svc::CallingWindow:
        return GetCallingHwnd();
    case svc::CaretPos:
        return GetCaretScreenPos();
    case svc::DictionaryRef:
        return reinterpret_cast<intptr_t>(&Session);
    case svc::WaitSetFSM: {
        const qint64 until = QDateTime::currentMSecsSinceEpoch() + lParam;
        for (qint64 left = lParam; left > 0; left = until - QDateTime::currentMSecsSinceEpoch()) {
            QCoreApplication::processEvents();
            QThread::msleep(static_cast<unsigned long>(std::min<qint64>(500, left)));
        }
        SetFSM(static_cast<int>(wParam));
        return 0;
    }
    case svc::ShowMainWindow:
        TrayOpenOptClick();
        return 0;
    case wm::FileShortcut:
        return FileShortcuts->FileShortcutMessage(wParam, lParam);
    case wm::TypeNow:
        TypeItBtnClick();
        return 0;
    case wm::TypeAfterInput:
        QCoreApplication::processEvents();
        Typing->StartTyping();
        return 0;
    case wm::HideShow:
        if (wParam)
            TrayOpenOptClick();
        else
            HideBtnClick();
        return 0;
    case wm::FirstShow:
        FirstShow();
        return 0;
    case wm::ReturnFocus:
        Typing->RestoreTarget();
        return 0;
    case wm::ScriptUp:
        if (Tcl) Tcl->BusyUp();
        return 0;
    case wm::ScriptDown:
        if (Tcl) Tcl->BusyDown();
        return 0;
    case wm::Deactivate:
        Deactivated();
        return 0;
    default:
        return 0;
    }
}

void TMainForm::TrayOpenOptClick() {
    Typing->AbortTyping();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    KeywordEdit->setFocus();
    KeywordEdit->selectAll();
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::SessionEndClose() {
    ShutdownQuery = true;
    close();
    ShutdownQuery = false;
}

bool TMainForm::FormCloseQuery() {
    try {
        SaveSettings();
    } catch (const EBrevix& e) {
        TMessageBox::Error(this, kCaption, e.Message());
    }
    // A failed save refuses the close, so the changes are not lost.
    try {
        if (!SaveIfModified()) return false;
    } catch (const EAbort&) {
        return false;
    } catch (const EBrevix& e) {
        ShowError(e.Message());
        return false;
    }
    if (!Settings.Has(goNoConfirmExit) && !HookUnavailable() && !ShutdownQuery && Initialised &&
        !ScriptRunning()) {
        TMessageBox box(QMessageBox::Information, kCaption,
                        tr("The Brevix application is about to close."),
                        QMessageBox::Ok | QMessageBox::Cancel, this);
        if (box.exec() != QMessageBox::Ok) return false;
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeAccepted_ || FormCloseQuery()) {
        closeAccepted_ = true;
        event->accept();
        FormClose();
        emit Closed();
    } else {
        event->ignore();
    }
}

void TMainForm::FormClose() {
    closing_ = true;
    if (Typing) Typing->Timer1->stop();
    AbortDisplayText(1);
    TInjectText::WaitAll(3000);
    if (HookInstalled) InstallKeyboardFilter(0);
    HookInstalled = false;
    if (!hookUnavailable_) THooks::Instance().Shutdown(handle_);
    if (ScriptServer) ScriptServer->Close();
    if (Tray1) Tray1->hide();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && StartupDone && !closing_ &&
        !(static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized))
        // Hiding from inside the state change confuses some window managers.
        QMetaObject::invokeMethod(this, &TMainForm::ApplicationMinimize, Qt::QueuedConnection);
    if (event->type() == QEvent::ActivationChange && StartupDone && !closing_) {
        // Keys typed in our own windows are not watched; typing goes back to
        // the window the user typed in last.
        if (isActiveWindow() && LastCallingWindow && !Typing->InputFormMode) {
            Typing->TargetWindow = LastCallingWindow;
            Typing->TargetForeground =
                LastCallingForeground ? LastCallingForeground : LastCallingWindow;
            // There is a window to type into again (a minimise took the last one).
            TypeItBtn->setEnabled(true);
        }
        // The hook's state follows the focus window (see BuildControls).
    }
}

void TMainForm::Deactivated() {
    // As when the program loses the keyboard: once a script has hidden or
    // minimised the window, keys are watched again, and the suggestion
    // window comes back if it is wanted.
    const bool away = isMinimized() || !isVisible();
    if (!Typing->InputFormMode && THooks::Instance().FSM() == BX_FSM_SUSPENDED &&
        (ScriptRunning() || isActiveWindow() || away))
        SetFSM(BX_FSM_WATCHING);
    if (Hints && Hints->AssistantForm) Hints->AssistantForm->ShowIfEnabled();
}

void TMainForm::ApplicationActivationChanged() {
    if (!StartupDone || closing_) return;
    if (!activeWindow_ && QApplication::activeWindow()) ApplicationActivated();
    if (InputFormActivationChanged()) return;
    // Keys typed in any of our windows, dialogs included, are never
    // expanded. Only watching and suspended switch here: next-key capture
    // and recording keep their state while their dialogs come and go.
    const int fsm = THooks::Instance().FSM();
    if (Typing->TypeState == TTypingController::tsIdle &&
        (fsm == BX_FSM_WATCHING || fsm == BX_FSM_SUSPENDED))
        SetFSM(QApplication::activeWindow() ? BX_FSM_SUSPENDED : BX_FSM_WATCHING);
}
