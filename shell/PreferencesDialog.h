#pragma once
// "Brevix Preferences": every setting the user changes by hand, on five
// pages. It works on a copy of the settings; the caller takes Result() over
// only after OK.
#include "shell/Settings.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class TSpellingPage;

class TPreferencesDlg : public QDialog {
    Q_OBJECT
public:
    enum TPage {
        pgOperation,
        pgDisplay,
        pgFileShortcuts,
        pgAutoReplace,
        pgLinks,
        pgSpelling,
        pgCount
    };

    // page: 0-based; outside the pages, the first. dictionaryDir: where the
    // links' Open dialog starts.
    TPreferencesDlg(const TSettings& settings, const QString& iniPath, int page,
                    const QString& dictionaryDir = QString(), QWidget* parent = nullptr);

    // The settings as the controls hold them.
    TSettings Result() const;
    // The link list was changed while the dialog was open.
    bool LinksChanged() const { return linksChanged_; }

    // The small dialogs and questions it opens; tests replace them.
    std::function<bool(uint16_t& code)> AskShortcut;
    std::function<bool(QString& file, uint16_t& code, QString& caption)> AskFileShortcut;
    std::function<bool(QFont& font)> AskFont;
    std::function<bool(QColor& color)> AskColor;
    std::function<QString(const QString& dir)> AskDictionary;
    std::function<bool(const QString& question)> AskYesNo;
    std::function<void(const QString& message)> ShowMessage;

    // File shortcut rows: add (a dropped file fills the path), edit, remove.
    void AddFileShortcut(const QString& droppedFile = QString());
    void EditFileShortcut(int row);
    void RemoveFileShortcut(int row);
    void AddLink(const QString& file = QString());
    void RemoveLink(int row);
    // The auto-replace options follow "Enable AutoReplace", "Track Caret" the hint box.
    void UpdateEnabled();

    QTabWidget* PageControl = nullptr;
    // 1. Operation
    QLineEdit* HotKeyEdit = nullptr;
    QPushButton* HotKeyBtn = nullptr;
    QLineEdit* PasteKeyEdit = nullptr;
    QPushButton* PasteKeyBtn = nullptr;
    QSpinBox* PauseEdit = nullptr;
    QSpinBox* IntervalEdit = nullptr;
    QCheckBox* SafetyChk = nullptr;
    QCheckBox* BeepHotKeyChk = nullptr;
    QCheckBox* BeepEmptyChk = nullptr;
    QCheckBox* BeepAfterChk = nullptr;
    QRadioButton* ClipboardRadio = nullptr;
    QRadioButton* KeystrokesRadio = nullptr;
    // 2. Display
    QLabel* EditorFontLbl = nullptr;
    QLabel* GridFontLbl = nullptr;
    QLabel* SuggestionFontLbl = nullptr;
    QPushButton* EditorFontBtn = nullptr;
    QPushButton* GridFontBtn = nullptr;
    QPushButton* SuggestionFontBtn = nullptr;
    QPushButton* BackgroundColorBtn = nullptr;
    QPushButton* KeywordColorBtn = nullptr;
    QPushButton* SuggestionColorBtn = nullptr;
    QPushButton* LinkedColorBtn = nullptr;
    QCheckBox* AutoSaveChk = nullptr;
    QCheckBox* NoConfirmExitChk = nullptr;
    QCheckBox* RunMinimizedChk = nullptr;
    // 3. File Shortcuts
    QTableWidget* FileGrid = nullptr;
    // 4. AutoReplace
    QCheckBox* AutoReplaceChk = nullptr;
    QCheckBox* AutoCompleteChk = nullptr;
    QCheckBox* BeepKeywordChk = nullptr;
    QCheckBox* ShiftEnterChk = nullptr;
    QCheckBox* CtrlSpaceChk = nullptr;
    QCheckBox* AltInsChk = nullptr;
    QCheckBox* RememberChk = nullptr;
    QCheckBox* OnscreenChk = nullptr;
    QCheckBox* HintChk = nullptr;
    QCheckBox* TrackCaretChk = nullptr;
    QCheckBox* SuggestionChk = nullptr;
    QLabel* AltInsOptionsLbl = nullptr;
    QLabel* SuggestionOptionsLbl = nullptr;
    // 5. Links
    QListWidget* LinksList = nullptr;
    QCheckBox* EnableLinksChk = nullptr;
    // 6. Spelling
    TSpellingPage* SpellingPage = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildOperationPage();
    QWidget* BuildDisplayPage();
    QWidget* BuildFileShortcutsPage();
    QWidget* BuildAutoReplacePage();
    QWidget* BuildLinksPage();
    void FillFromSettings();
    void ShowFonts();
    // Asks for a font; italic, underline and strike-out are refused with a message.
    void ChooseFont(TFontSpec& spec, QLabel* label);
    void ChooseColor(uint32_t& color, bool* changed = nullptr);
    // Runs a small dialog with this one hidden meanwhile.
    bool WhileHidden(const std::function<bool()>& dialog);
    // The entry's faults, or an empty string: "=" in the file, the hot key, a key used twice.
    QString FileShortcutFault(int row, const QString& file, uint16_t code) const;
    void SetFileRow(int row, const QString& file, uint16_t code, const QString& caption);
    int EmptyFileRow() const;
    void EditFileRow(int row, bool adding, QString file, uint16_t code, QString caption);

    TSettings settings_;
    QString dictionaryDir_;
    bool linkedColorChanged_ = false;
    bool linksChanged_ = false;
};
