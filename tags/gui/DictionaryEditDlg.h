#pragma once
// "Dictionary Text": the editor of one entry (keyword, text to type,
// description, shortcut key), with the tags menu that writes tags into the
// text. What may be changed is set by the options word of the entry commands.
#include "tags/gui/EditorServices.h"
#include "tags/gui/PlacedDialog.h"

#include <cstdint>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TDictionaryItem;
class TTagsMenu;

class TDictionaryEditDlg : public TPlacedDialog {
    Q_OBJECT
public:
    TDictionaryEditDlg(const TEditorServices& services, QWidget* parent = nullptr);
    ~TDictionaryEditDlg() override;

    // Shows the entry with the options word and the caption word.
    void SetEntry(const TDictionaryItem& item, int options, const QString& captionWord);
    // Stores into the entry what was editable.
    void GetEntry(TDictionaryItem& item) const;

    void InsertText(const QString& text);
    void InsertTag(const QString& body);

    void ShortcutBtnClick();
    void RecordBtnClick();
    void SpellBtnClick();
    void OKBtnClick();

    // The "DictEdit" settings.
    bool WordWrap = true, WantTabs = false, WantReturns = true, DescTabStop = true;
    void ApplyOptions();

    QLineEdit* KeywordEdit = nullptr;
    QPlainTextEdit* TextMemo = nullptr;
    QLabel* LinesLbl = nullptr;
    QLabel* OptionsLbl = nullptr;
    QLineEdit* ShortcutEdit = nullptr;
    QPushButton* ShortcutBtn = nullptr;
    QWidget* ButtonPnl = nullptr;
    QPushButton* TagsBtn = nullptr;
    QPushButton* CutBtn = nullptr;
    QPushButton* CopyBtn = nullptr;
    QPushButton* PasteBtn = nullptr;
    QPushButton* SelectAllBtn = nullptr;
    QPushButton* UndoBtn = nullptr;
    QLineEdit* DescEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* SpellBtn = nullptr;
    QPushButton* RecordBtn = nullptr;
    TTagsMenu* TagsMenu = nullptr;
    QMenu* OptionsMenu = nullptr;
    QAction* WordWrap1 = nullptr;
    QAction* WantTabs1 = nullptr;
    QAction* WantReturns1 = nullptr;
    QAction* DescTabStop1 = nullptr;

    // Messages and questions; tests replace them.
    std::function<void(const QString&)> ShowMessage;
    std::function<bool(const QString&)> AskYes;

    uint16_t Shortcut() const { return shortcut_; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Changed();
    void UpdateLines();
    void UpdatePaste();
    void ReadSettings();
    void WriteSettings();

    const TEditorServices& services_;
    int options_ = 1;
    uint16_t shortcut_ = 0;
    bool changed_ = false;
    bool loading_ = false;
    QString caption_;
};

// Opens the editor on item; true on OK, with item holding what was editable.
bool EditDictionaryEntry(TDictionaryItem& item, int options, const QString& captionWord,
                         const TEditorServices& services, QWidget* parent,
                         const std::function<void(TDictionaryEditDlg*)>& prepare = {});
