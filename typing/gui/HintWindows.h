#pragma once
// The hint box and the suggestion window as the auto-replace engine sees
// them. What they need of the main window comes through THintHost.
#include "typing/AutoreplServices.h"
#include "typing/gui/SuggestStyle.h"

#include <QVector>
#include <memory>

class QObject;
class QWidget;
class TAssistantForm;
class TDictionaryList;
class TBx5HintBox;

class THintHost {
public:
    virtual ~THintHost() = default;
    // The settings file that keeps the windows' places.
    virtual QString IniPath() const = 0;
    virtual const TDictionaryList* Dictionary() const = 0;
    virtual QString DictionaryFileName() const = 0;
    virtual TSuggestionStyle SuggestionStyle() const = 0;
    // The window the suggestion window follows as it shows and hides.
    virtual QWidget* MainWindow() const = 0;
    virtual bool StartupDone() const = 0;
    // The user asked for the main window (a click on either window).
    virtual void RestoreMainWindow() = 0;
    // The keys in SuggestionKeys changed.
    virtual void SuggestionKeysChanged() = 0;
    // "About..." and "Preferences..." of the suggestion window.
    virtual void ShowAbout() = 0;
    virtual void ShowPreferences() = 0;
};

class TMainHints : public THintSink {
public:
    explicit TMainHints(THintHost& host) : host_(host) {}
    ~TMainHints() override;

    void CreateWindows() override;
    void ApplyOptions(uint16_t options, bool suggestionsShown) override;
    void SetDictionaryLines(const QString& hintLine, const QString& caption) override;
    void SetKeywordLine(const QByteArray& text) override;
    void SetDescriptionLine(const QByteArray& text) override;
    void HideHint() override;
    bool HintVisible() const override;
    void ShowHintBox(BxHwnd window) override;
    void UpdateSuggestions(const QByteArray& typed, int index) override;
    void SetSkipCount(int count) override;
    int SkipCount() const override;
    QByteArray SuggestionKeyword(uint16_t code) const override;
    // The font, colour and keys changed in the settings.
    void ApplyStyle();
    // 0..8 while the suggestion window lists a suggestion for the key, else -1.
    int SuggestionIndexForShortcut(uint16_t code) const;

    TAssistantForm* AssistantForm = nullptr;
    TBx5HintBox* HintBox = nullptr;
    // Keys the suggestion window wants withheld while it shows.
    QVector<uint16_t> SuggestionKeys;

private:
    // Follows the main window: the suggestion window may show once the
    // program has started, and comes and goes as the main window hides and shows.
    void MainWindowChanged(bool shown);

    THintHost& host_;
    std::unique_ptr<QObject> mainWatch_;
    bool started_ = false;
    uint16_t options_ = 0;
};
