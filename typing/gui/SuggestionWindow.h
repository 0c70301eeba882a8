#pragma once
// The suggestion window: a small always-on-top tool window that lists the
// entries whose keywords begin with the word being typed in another program,
// each with the function key that expands it. It never takes the focus, so
// the target keeps it while the window shows and updates.
#include "typing/SuggestList.h"

#include <QVector>
#include <QWidget>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QToolButton;
struct TSuggestionStyle;

class TAssistantForm : public QWidget {
    Q_OBJECT
public:
    // Reads "Cols" and the position of section "SuggestionWindow" from
    // iniPath, and writes both back when destroyed (nothing with an empty path).
    explicit TAssistantForm(const QString& iniPath, QWidget* parent = nullptr);
    ~TAssistantForm() override;

    // Wiring by the main window.
    void SetDictionarySource(TSuggestionList::TDictionarySource source);
    // Font, colour, "AlphaChars", the suggestion shortcuts and the options.
    void ApplySettings(const TSuggestionStyle& style);
    // The AutoReplaceOptions bits (TAutoReplaceOption).
    void SetOptions(uint16_t options);
    uint16_t Options() const { return options_; }
    // The window shows only once the program has finished starting.
    void SetProgramStarted(bool started);
    // "Bring Up Main Window" is offered only while this window is hidden or minimised.
    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
    // Caption "Brevix: " and the file name without its folder, in capitals.
    void SetFileName(const QString& fileName);

    void SetShown(bool on);
    void ShowIfEnabled();
    bool Enabled() const { return list_.Enabled(); }
    // "Hide Temporarily" was chosen since the window was last switched on.
    bool HiddenByUser() const { return hiddenByUser_; }

    // The engine's side (the auto-replace engine calls these).
    void UpdateSuggestions(const QByteArray& typed, int index);
    int SuggestionIndexForShortcut(uint16_t code) const;
    QByteArray GetSuggestionKeyword(uint16_t code) const;
    int SkipCount() const { return list_.SkipCount(); }
    void SetSkipCount(int count) { list_.SetSkipCount(count); }
    // shiftState: Shift 1, Alt 2, Ctrl 4.
    void BuildShortcuts(uint8_t shiftState);
    // The keys that select a suggestion now: empty while the window is hidden.
    QVector<uint16_t> GrabbedKeys() const;

    void SetColumns(int columns);
    int Columns() const { return list_.Columns(); }
    const TSuggestionList& Suggestions() const { return list_; }

    // Controls, named by role.
    QLabel* DescTxt = nullptr;
    QToolButton* MenuBtn = nullptr;
    QLabel* NoSuggestionLbl = nullptr;
    std::array<QLabel*, TSuggestionList::LabelCount> Labels{}; // Label1 .. Label9
    QMenu* PopupMenu1 = nullptr;
    QAction* Restore1 = nullptr;
    QAction* N1 = nullptr;
    QAction* HideTemporarily1 = nullptr;
    QAction* N3Columns1 = nullptr;
    QAction* N1Column1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Preferences1 = nullptr;
    QAction* About1 = nullptr;

signals:
    // "Bring Up Main Window": restore the program (and, with
    // "AutoHideSuggestionWindow", this window has already hidden itself).
    void RestoreRequested();
    // Bring up the main window, open the preferences at the auto-replace page
    // (or the about box), then hide the main window again.
    void PreferencesRequested();
    void AboutRequested();
    // The keys to withhold from the target changed (see GrabbedKeys).
    void GrabbedKeysChanged(const QVector<uint16_t>& keys);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildControls();
    void BuildMenu();
    void FormCreate();
    void FormDestroy();
    void LayoutControls();
    void Show();
    void ShowLabels();
    void PopupAtCorner();
    void Restore1Click();
    void HideTemporarily1Click();
    void PopupMenu1Popup();
    void EmitGrabbedKeys();

    TSuggestionList list_;
    QString iniPath_;
    QWidget* mainWindow_ = nullptr;
    uint16_t options_ = 0;
    bool programStarted_ = false;
    bool hiddenByUser_ = false;
    bool layoutBusy_ = false;
    int lineHeight_ = 0;
    QVector<uint16_t> grabbed_;
    QFont suggestionFont_;
};
