#include "typing/MainfrmHints.h"
#include "dictionary/Dict.h"
#include "shell/Mainfrm.h"
#include "typing/Autorepl.h"
#include "typing/Bx5Hint.h"
#include "typing/asstfrm.h"

#include <QApplication>

TMainHints::~TMainHints() {
    delete AssistantForm;
    delete HintBox;
}

void TMainHints::CreateWindows() {
    if (AssistantForm) return;
    AssistantForm = new TAssistantForm(form_.IniPath());
    AssistantForm->SetDictionarySource(
        [this]() -> const TDictionaryList* { return form_.Dict.get(); });
    AssistantForm->SetMainWindow(&form_);
    AssistantForm->ApplySettings(form_.Settings);
    AssistantForm->SetProgramStarted(form_.StartupDone);
    QObject::connect(AssistantForm, &TAssistantForm::RestoreRequested, &form_,
                     &TMainForm::TrayOpenOptClick);
    QObject::connect(AssistantForm, &TAssistantForm::GrabbedKeysChanged, &form_,
                     [this](const QVector<uint16_t>& keys) {
                         SuggestionKeys = keys;
                         form_.UpdateGrabbedKeys();
                     });
    HintBox = new TBx5HintBox(form_.IniPath());
    HintBox->SetColor(form_.Settings.SuggestionWindowColor);
    QObject::connect(HintBox, &TBx5HintBox::RestoreRequested, &form_, &TMainForm::TrayOpenOptClick);
}

void TMainHints::ApplyOptions(uint16_t options, bool suggestionsShown) {
    options_ = options;
    if (!AssistantForm) return;
    AssistantForm->SetOptions(options);
    AssistantForm->SetShown(suggestionsShown);
    HintBox->SetColor(form_.Settings.SuggestionWindowColor);
}

void TMainHints::SetDictionaryLines(const QString& hintLine, const QString& caption) {
    if (!AssistantForm) return;
    HintBox->SetFileName(form_.OpenFileName);
    AssistantForm->SetFileName(form_.OpenFileName);
    (void)hintLine;
    (void)caption;
}

void TMainHints::SetKeywordLine(const QByteArray& text) {
    if (HintBox) HintBox->SetKeyword(text);
}

void TMainHints::SetDescriptionLine(const QByteArray& text) {
    if (HintBox) HintBox->SetDescription(text);
}

void TMainHints::HideHint() {
    if (HintBox) HintBox->hide();
}

bool TMainHints::HintVisible() const {
    return HintBox && HintBox->isVisible();
}

void TMainHints::ShowHintBox(BxHwnd) {
    if (!HintBox || HintBox->Description().isEmpty()) return;
    if (options_ & aropt::Beep) QApplication::beep();
    if (!(options_ & aropt::Hint)) return;
    // The caret when it can be read; the focused window's corner otherwise.
    const uint32_t caret = GetCaretScreenPos();
    const QPoint at(static_cast<int>(caret & 0xFFFF), static_cast<int>(caret >> 16));
    HintBox->ShowFor(QRect(at, QSize(1, 1)),
                     (options_ & aropt::HintTrackCaret) ? std::optional<QPoint>(at) : std::nullopt);
}

void TMainHints::UpdateSuggestions(const QByteArray& typed, int index) {
    if (AssistantForm) AssistantForm->UpdateSuggestions(typed, index);
}

void TMainHints::SetSkipCount(int count) {
    if (AssistantForm) AssistantForm->SetSkipCount(count);
}

int TMainHints::SkipCount() const {
    return AssistantForm ? AssistantForm->SkipCount() : 0;
}

QByteArray TMainHints::SuggestionKeyword(uint16_t code) const {
    return AssistantForm ? AssistantForm->GetSuggestionKeyword(code) : QByteArray();
}
