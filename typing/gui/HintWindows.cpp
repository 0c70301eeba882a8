#include "typing/gui/HintWindows.h"
#include "hook/HookApi.h"
#include "typing/gui/HintBox.h"
#include "typing/gui/SuggestionWindow.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <functional>

namespace {
// Calls back on the main window's show, hide and state changes, and on the
// first of its events once the program has finished starting.
class TMainWindowWatch : public QObject {
public:
    explicit TMainWindowWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            changed_(true);
            break;
        default:
            changed_(false);
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(bool)> changed_;
};
} // namespace

TMainHints::~TMainHints() {
    mainWatch_.reset();
    delete AssistantForm;
    delete HintBox;
}

void TMainHints::CreateWindows() {
    if (AssistantForm) return;
    QWidget* main = host_.MainWindow();
    AssistantForm = new TAssistantForm(host_.IniPath());
    AssistantForm->SetDictionarySource([this] { return host_.Dictionary(); });
    AssistantForm->SetMainWindow(main);
    AssistantForm->ApplySettings(host_.SuggestionStyle());
    AssistantForm->SetProgramStarted(host_.StartupDone());
    QObject::connect(AssistantForm, &TAssistantForm::RestoreRequested, main,
                     [this] { host_.RestoreMainWindow(); });
    QObject::connect(AssistantForm, &TAssistantForm::AboutRequested, main,
                     [this] { host_.ShowAbout(); });
    QObject::connect(AssistantForm, &TAssistantForm::PreferencesRequested, main,
                     [this] { host_.ShowPreferences(); });
    QObject::connect(AssistantForm, &TAssistantForm::GrabbedKeysChanged, main,
                     [this](const QVector<uint16_t>& keys) {
                         SuggestionKeys = keys;
                         host_.SuggestionKeysChanged();
                     });
    HintBox = new TBx5HintBox(host_.IniPath());
    HintBox->SetColor(host_.SuggestionStyle().Color);
    QObject::connect(HintBox, &TBx5HintBox::RestoreRequested, main,
                     [this] { host_.RestoreMainWindow(); });
    // The windows are made while the program starts; they may show only
    // once it has, and that is learnt from the main window's events.
    started_ = host_.StartupDone();
    mainWatch_ = std::make_unique<TMainWindowWatch>([this, main](bool changed) {
        if (!started_ && host_.StartupDone()) {
            started_ = true;
            changed = true;
        }
        if (changed && started_) MainWindowChanged(main->isVisible() && !main->isMinimized());
    });
    main->installEventFilter(mainWatch_.get());
}

void TMainHints::MainWindowChanged(bool shown) {
    if (!AssistantForm) return;
    AssistantForm->SetProgramStarted(true);
    if (shown && (options_ & aoAutoHideSuggestionWindow))
        AssistantForm->hide();
    else
        AssistantForm->ShowIfEnabled();
}

void TMainHints::ApplyOptions(uint16_t options, bool suggestionsShown) {
    options_ = options;
    if (!AssistantForm) return;
    AssistantForm->SetOptions(options);
    AssistantForm->SetShown(suggestionsShown);
    HintBox->SetColor(host_.SuggestionStyle().Color);
}

void TMainHints::ApplyStyle() {
    if (!AssistantForm) return;
    AssistantForm->ApplySettings(host_.SuggestionStyle());
    HintBox->SetColor(host_.SuggestionStyle().Color);
}

void TMainHints::SetDictionaryLines(const QString& hintLine, const QString& caption) {
    if (!AssistantForm) return;
    HintBox->SetFileName(host_.DictionaryFileName());
    AssistantForm->SetFileName(host_.DictionaryFileName());
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

void TMainHints::ShowHintBox(BxHwnd window) {
    if (!HintBox || HintBox->Description().isEmpty()) return;
    if (options_ & aoAutoReplaceBeep) QApplication::beep();
    if (!(options_ & aoAutoReplaceHint)) return;
    // Below the window typed in, or at the caret inside it; a window whose
    // place cannot be read stands in as the caret's point.
    const uint32_t caret = GetCaretScreenPos();
    const QPoint at(static_cast<int>(caret & 0xFFFF), static_cast<int>(caret >> 16));
    int32_t r[4] = {};
    const QRect target =
        BxWindowRect(window, r) ? QRect(r[0], r[1], r[2], r[3]) : QRect(at, QSize(1, 1));
    HintBox->ShowFor(target, (options_ & aoAutoReplaceHintTrackCaret) ? std::optional<QPoint>(at)
                                                                      : std::nullopt);
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

int TMainHints::SuggestionIndexForShortcut(uint16_t code) const {
    return AssistantForm ? AssistantForm->SuggestionIndexForShortcut(code) : -1;
}

QByteArray TMainHints::SuggestionKeyword(uint16_t code) const {
    return AssistantForm ? AssistantForm->GetSuggestionKeyword(code) : QByteArray();
}
