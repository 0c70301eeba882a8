#pragma once
// The main window: the hub that owns the settings, the open dictionary, the
// hook connection and every long-lived object of the program.
#include "dictionary/DictionarySession.h"
#include "hook/HookApi.h"
#include "shell/CommandLine.h"
#include "shell/DiagnosticLog.h"
#include "shell/Settings.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TTypingController;
class TTypingHost;
class TServicesHost;
class THintHost;
class TAutoReplaceEngine;
class TMainServices;
class TOwnInputKeys;
class TTclInterface;
class TScriptHost;
class TMainShortcuts;
class TMainHints;
class TKeyStatistics;
class TTclEvaluator;
class TScriptServer;
class TInputHost;
class TInputBoxHost;
class TDictionaryModel;
class TProgressForm;
class TXFindDialog;
struct TLinkMerge;
struct TMainEntries;
class TDictionaryEditDlg;
class TDictionaryItem;
class QAction;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QSystemTrayIcon;
class QTabBar;
class QTableView;
class QTimer;
class QToolButton;
class QKeyEvent;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up steps; throws EBrevix when the
    // command line or the settings cannot be used (nothing is written then).
    // prepare runs before start-up, so tests can replace the dialogs it may show.
    explicit TMainForm(const QStringList& params, QWidget* parent = nullptr,
                       const std::function<void(TMainForm*)>& prepare = {});
    ~TMainForm() override;

    // The window's message dispatcher: hook notifications, services and posts.
    intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    BxHwnd Handle() const { return handle_; }
    void PostMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Every FSM change of the window: nothing while another instance holds the library.
    void SetFSM(int state);

    // Start-up state.
    QString ConfigDir;
    QString HighestChar;
    bool HookInstalled = false;
    bool Initialised = false;
    bool StartupDone = false;
    bool KeepShownAtStart = false;
    bool ShutdownQuery = false;
    bool SettingsLoaded = false;
    TCommandLine CommandLine;
    TSettings Settings;
    TDiagnosticLog DiagLog; // "bx_debug msg"
    QString IniPath() const;

    bool HookUnavailable() const { return hookUnavailable_; }
    // Closing as the desktop session does: no questions asked.
    void SessionEndClose();

    // Controls, named by role.
    QLineEdit* KeywordEdit = nullptr;
    QLabel* TextToTypeLbl = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QSplitter* GrabBar = nullptr;
    QTableView* Grid = nullptr;
    QTabBar* TabSet1 = nullptr;
    QPushButton* TypeItBtn = nullptr;
    QPushButton* HideBtn = nullptr;
    QCheckBox* AutoReplaceChk = nullptr;
    QSystemTrayIcon* Tray1 = nullptr;
    QMenu* TrayPopupMenu = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Dictionary1 = nullptr;
    QMenu* Shortcuts1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* ShowTexttoTypebox1 = nullptr;
    // The dictionary pop-up of the grid and the tab strip, and the buttons above the grid.
    QMenu* DictPopupMenu = nullptr;
    QAction* OpenFile1 = nullptr;
    QAction* CloseFile2 = nullptr;
    QAction* SaveFile1 = nullptr;
    QAction* RefreshFile1 = nullptr;
    QToolButton* OpenSpeedButton = nullptr;
    QToolButton* SaveSpeedButton = nullptr;
    // The text-to-type box's menus: a click on its label, and the input panel's.
    QMenu* TexToTypPopupMenu = nullptr;
    QAction* RestoreLast1 = nullptr;
    QAction* CopytoKeywordBox1 = nullptr;
    QMenu* InputPnlPopupMenu = nullptr;
    QAction* ShowTexttoTypeBox2 = nullptr;
    TMainShortcuts* FileShortcuts = nullptr;
    QLabel* StatusLbl = nullptr;

    // The open dictionary and the files at hand.
    TDictionarySession Session;
    TDictionaryModel* GridModel = nullptr;
    QStringList History;
    bool Loading = false;
    bool TabsMoving = false;
    bool ProgrammaticKeyword = false;
    QString ProgramTitle() const { return QStringLiteral("Brevix 10.00"); }
    // What the task bar shows for the program: the title and the open file's name.
    QString ApplicationTitle() const;

    // What the window asks the user; tests replace these.
    enum TFileDialogKind { fdOpen, fdSaveAs, fdNew };
    std::function<QString(TFileDialogKind, const QString& dir, const QString& proposed)>
        AskFileName;
    // Yes, No or Cancel (QMessageBox::StandardButton).
    std::function<int(const QString& message)> AskYesNoCancel;
    std::function<void(const QString& message)> ShowError;
    // Called with each preferences dialog before it opens, so tests can drive it.
    std::function<void(QDialog*)> PrepareDialog;

    bool OpenDictionary(const QString& path);
    bool SaveIfModified();
    void CloseOpenDictionary();
    void Save1Click();
    void SaveAs1Click();
    void SaveAsTo(const QString& path);
    void New1Click();
    void CreateDictionary(const QString& path);
    void CloseFile1Click();
    void Refresh1Click();
    void AddFile1Click();
    void RebuildHistoryMenu();
    void UpdateTitle();
    void RefreshGrid(int row);
    // Throws EBrevix; false when the call was ignored.
    bool OpenDictionaryFile(const QString& fileName);
    void SaveDictionaryFile(const QString& fileName, bool makeBackup);
    QStringList TabPaths() const;
    int FindTab(const QString& path) const;
    // Entry row i shown: keyword box, highlight, text to type.
    void ShowEntry(int row);
    int CurrentRow() const;
    // forced: search even when the box has no focus or no text.
    void KeywordEditChange(bool forced = false);
    bool KeywordEditKeyDown(QKeyEvent* event);
    void GridKeyPress(const QString& text);
    void DictPopupMenuPopup();
    // The first show: the tab row scrolled so that its last tab is visible.
    void ScrollTabsToEnd();
    void TextToTypeLblClick();
    void TexToTypPopupMenuPopup();
    void RestoreLast1Click();
    void CopytoKeywordBox1Click();

    // Typing into the window the user came from.
    TTypingController* Typing = nullptr;
    void TypeItBtnClick();
    // Types text as the entry shown would be typed (Windows-1252, CR LF lines).
    void TypeText(const QByteArray& text);
    // Texts with input fields (MainfrmInput.cpp): filled in through the input
    // text window; while it is open, further entries go into it.
    void StartInputText(const QByteArray& text);
    void InsertIntoInputForm(const QByteArray& text);
    void SetInputFormMode(bool on);
    TInputBoxHost& InputBoxes();
    // The delimiter of the expansion that opened the input text window.
    QByteArray TakeSuffixAfterInput();
    // The text-to-type box: ShowTextToType fills it once the event loop
    // runs, SetTextToType at once; TextToTypeShown is what it holds.
    void ShowTextToType(const QByteArray& text);
    void SetTextToType(const QString& text);
    QByteArray TextToTypeShown() const;
    void MinimiseApplication();
    bool ApplicationActive() const;
    void Beep();

    // Auto-replace and the hook's key notifications.
    std::unique_ptr<TAutoReplaceEngine> Engine;
    std::unique_ptr<TMainServices> Services;
    BxHwnd LastCallingWindow = 0, LastCallingForeground = 0;
    bool InKeyNotification = false;
    intptr_t HookKeyMessage(uint16_t code, int flags);
    // Keys typed into an open input form's own text control.
    std::unique_ptr<TOwnInputKeys> OwnKeys;
    // The hook withholds these keys from every window, ours too.
    std::vector<uint16_t> GrabbedKeys() const;
    void AutoReplaceChkClick();
    std::unique_ptr<TMainHints> Hints;
    std::unique_ptr<TKeyStatistics> Statistics;
    // Keys withheld from the target: the hot key, entry and file shortcuts,
    // and the suggestion keys while the suggestion window shows.
    void UpdateGrabbedKeys();
    void Stats1Click();

    // Scripting: what scripts see of this window (outliving the commands that
    // use it), the one interpreter and the remote script server.
    std::unique_ptr<TScriptHost> ScriptHost;
    std::unique_ptr<TTclInterface> Tcl;
    std::unique_ptr<TTclEvaluator> TclEvaluator;
    std::unique_ptr<TScriptServer> ScriptServer;
    bool ScriptRunning() const;
    // Ready for a remote script: not typing and no modal window open.
    bool ReadyForScript() const;
    void UpdateEngineDictionary();

    void HideBtnClick();
    // The program went to the task bar or the notification area.
    void ApplicationMinimize();
    // Moves a window to the top or the bottom without activating it; placing
    // the main window switches the suggestion window back on when it is wanted.
    void PlaceWindow(QWidget* window, bool up);
    // Off while the entry editor or a script console has the suggestion window away.
    bool SuggestionWanted = true;
    // Switches the suggestion window off for a console or an editor, and back.
    void SetSuggestionWanted(bool on);
    // A search pass of the Find command runs; the Hide button then stops it.
    bool Searching = false;
    void About1Click();
    void SystemConfig1Click();
    void ErrorReport1Click();
    void DiagnosticLog1Click();
    // The spelling language of the settings; the personal list when given.
    void ApplySpelling(const std::optional<QStringList>& personalWords = std::nullopt);
    // The facts "System Configuration" lists.
    QString SystemConfiguration() const;
    // The preferences on a page (0-based); true after OK, once the new
    // settings are applied and written.
    bool Preferences1Click(int page = 0);
    // "Edit..." of the Shortcuts menu: the file shortcuts page.
    void Preferences2Click();
    // "Preferences..." of the suggestion window: the auto-replace page.
    void PreferencesFromSuggestionWindow();
    void ApplyPreferences();
    // "About..." of the suggestion window: the main window comes up for the
    // box and goes away again after it.
    void AboutFromSuggestionWindow();
    // Starts the converter window's program; says so when it cannot.
    void RunFileConverter1Click();
    QString FileConverterProgram() const;
    QString FileConverterPath; // empty: bxconvert beside this program
    QAction* RunFileConverter1 = nullptr;
    void TrayOpenOptClick();
    void Exit1Click();
    // Writes or removes the session's autostart entry for this program.
    void StartWithSession1Click(bool on);
    QAction* StartWithSession1 = nullptr;
    QAction* Preferences1 = nullptr;
    QToolButton* PreferencesSpeedButton = nullptr;
    void ShowTextToTypeBox(bool on);

    // Search, printing, copying and the dictionary info (MainfrmSearch.cpp).
    TXFindDialog* XFindDialog1 = nullptr;
    // The row of the last match outside the text-to-type box; -1 for none.
    int LastFoundRow = -1;
    QAction* Find1 = nullptr;
    QAction* FindNext1 = nullptr;
    QAction* PrinttoFile1 = nullptr;
    QAction* Copyto1 = nullptr;
    QAction* Info1 = nullptr;
    void Find1Click();
    void FindNext1Click();
    void XFindDialog1Find();
    void XFindDialog1WordFound();
    void XFindDialog1WordNotFound();
    void PrinttoFile1Click();
    void Copyto1Click();
    void Info1Click();
    // The save dialog of "Print to File", starting in dir; tests replace it.
    std::function<QString(const QString& dir)> AskPrintFileName;
    // A message box (QMessageBox icon, buttons and the default one) with
    // optional details; returns the button pressed. Tests replace it.
    std::function<int(int icon, const QString& caption, const QString& text, const QString& details,
                      int buttons, int defaultButton)>
        AskBox;

    // Linked dictionaries (MainfrmLinks.cpp).
    QAction* EnableDictLinks1 = nullptr;
    QToolButton* DictLinksSpeedButton = nullptr;
    // Links are switched on and at least one is configured.
    bool LinksInEffect() const;
    void EnableDictLinks1Click();
    // The menu item's check and the button's state and hint.
    void UpdateLinkState();
    // Making and changing entries (MainfrmEntries.cpp); list rows throughout.
    std::unique_ptr<TMainEntries> Entries;
    QAction *Add1 = nullptr, *Modify1 = nullptr, *Remove1 = nullptr, *Copy1 = nullptr,
            *Paste1 = nullptr, *Duplicate1 = nullptr, *ShowShortcuts1 = nullptr;
    QToolButton *AddSpeedButton = nullptr, *ModifySpeedButton = nullptr,
                *RemoveSpeedButton = nullptr;
    // Yes and No, No the default; tests replace it, and the editor through PrepareEditor.
    std::function<bool(const QString& message)> AskYesNo;
    std::function<void(TDictionaryEditDlg*)> PrepareEditor;
    void BuildEntryCommands();
    void Add1Click();
    void Modify1Click();
    // The hidden "&Viewer...": the current entry read-only, on Shift+F2.
    QAction* Viewer1 = nullptr;
    void Viewer1Click();
    void Remove1Click();
    void Copy1Click();
    int Paste1Click();
    void Duplicate1Click();
    void ShowShortcuts1Click(bool on);
    void UpdateEntryCommands();
    // The entry shown (-1 when none is highlighted) and the selected rows.
    void EntryRows(int& current, int& top, int& bottom) const;
    bool EditEntry(TDictionaryItem& item, int options, const QString& captionWord);
    // Quick add from another program: the editor opens on the proposal.
    void QuickAdd(const QByteArray& keyword, const QByteArray& text);
    // A click on the tray icon while a recording runs stops it.
    bool TrayRecordingClick();

signals:
    // The close went ahead: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Any window of the program, or none, took the activation.
    void ApplicationActivationChanged();
    // A script hid the window ("bx_window show 0").
    void Deactivated();
    // While an input form is open the hook's state follows it; true when
    // handled (see MainfrmWindowState.cpp).
    bool InputFormActivationChanged();
    // The input form on show (a field form, else the input text window), raised and focused.
    void FocusInputForm();
    // The program took the keyboard back from another program.
    void ApplicationActivated();

private:
    void BuildControls();
    void FlushTextToType();
    std::unique_ptr<TTypingHost> typingHost_;
    std::unique_ptr<TServicesHost> servicesHost_;
    std::unique_ptr<THintHost> hintHost_;
    std::shared_ptr<TInputHost> inputHost_;
    std::shared_ptr<TInputBoxHost> inputBoxes_;
    bool minimisedForInput_ = false;
    // The window of ours that had the activation (null while another program
    // has it), and the hook's state when the program lost it from an input
    // form (-1: none kept).
    QPointer<QWidget> activeWindow_;
    int inputFSMAtDeactivation_ = -1;
    QByteArray suffixAfterInput_;
    QByteArray pendingTextToType_;
    bool textToTypePending_ = false;
    void BuildMenus();
    void BuildTray();
    void FormCreate(const QStringList& params);
    void CreateHandle();
    void LoadSettings();
    void ApplySettings();
    // Colours and fonts of the main window's controls.
    void ApplyLook();
    void SaveSettings();
    void FirstShow();
    bool FormCloseQuery();
    void FormClose();
    void AnnounceOtherInstance();
    void ComputeHighestChar();
    void BuildDictionaryControls();
    void OpenStoredDictionaries();
    void CreateScripting();
    void OpenFirstDictionary();
    void WriteFileLists();
    void TabSet1Click();
    void TabSet1Changed(int index);
    int AddTab(const QString& path);
    void RemoveTab(int index);
    void SelectTabSilently(int index);
    void SetHighlight(bool on);
    void FileMenuAboutToShow();
    QString LastOpenDir;
    QString LastSaveDir;
    bool suggestionsSuspended_ = false;
    bool trayMissingTold_ = false;
    void BuildPopupMenus();
    QAction* FileHistory1 = nullptr;
    QList<QAction*> historyActions_;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* CloseFile1 = nullptr;
    QAction* Refresh1 = nullptr;

    void BuildSearchMenus();
    void BuildLinkControls();
    void UpdateFileOutputCommands();
    TLinkMerge NewLinkMerge(TProgressForm* progress);
    void LinkMergeDone(const TLinkMerge& merge);
    QString LastPrintDir;

    BxHwnd handle_ = 0;
    bool hookUnavailable_ = false;
    bool closing_ = false;
    bool closeAccepted_ = false;
};
