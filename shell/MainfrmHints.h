#pragma once
// The hint box and the suggestion window as the auto-replace engine sees
// them, owned by the main window.
#include "typing/AutoreplServices.h"

#include <QVector>
#include <memory>

class QObject;
class TMainForm;
class TAssistantForm;
class TBx5HintBox;

class TMainHints : public THintSink {
public:
    explicit TMainHints(TMainForm& form) : form_(form) {}
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

    TMainForm& form_;
    std::unique_ptr<QObject> mainWatch_;
    bool started_ = false;
    uint16_t options_ = 0;
};
