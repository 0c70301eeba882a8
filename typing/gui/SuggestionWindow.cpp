#include "typing/gui/SuggestionWindow.h"

#include "hook/HookProtocol.h"
#include "platform/Ansi.h"
#include "platform/IniFile.h"
#include "platform/Placement.h"
#include "platform/VirtualKeys.h"
#include "typing/gui/SuggestStyle.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMetaMethod>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <memory>

namespace {
const QString kSection = QStringLiteral("SuggestionWindow");
const QString kCols = QStringLiteral("Cols");
const QString kCaption = QStringLiteral("Brevix");
constexpr int kMargin = 4;
constexpr int kGap = 2;

// A suggestion line: the key part muted, the rest elided to the column
// width; text() keeps the whole line.
class TSuggestionLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QString line = text();
        const QRect area = contentsRect();
        const int keyEnd = line.startsWith(QLatin1Char('[')) ? line.indexOf(QLatin1Char(']')) : -1;
        int x = area.left();
        const int baseline =
            area.top() + (area.height() + fontMetrics().ascent() - fontMetrics().descent()) / 2;
        QColor text = palette().color(QPalette::WindowText);
        if (keyEnd > 0) {
            const QString key = line.left(keyEnd + 1);
            QColor muted = text;
            muted.setAlpha(150);
            p.setPen(muted);
            p.drawText(x, baseline, key);
            x += fontMetrics().horizontalAdvance(key);
        }
        p.setPen(text);
        const QString rest = line.mid(keyEnd + 1);
        p.drawText(x, baseline,
                   fontMetrics().elidedText(rest, Qt::ElideRight, std::max(0, area.right() - x)));
    }
};

QRect AvailableScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}
} // namespace

TAssistantForm::TAssistantForm(const QString& iniPath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      iniPath_(iniPath) {
    setObjectName(QStringLiteral("AssistantForm"));
    setWindowTitle(kCaption);
    // Showing or updating the window must never move the focus away from the
    // program the user types in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    BuildControls();
    BuildMenu();
    FormCreate();
}

TAssistantForm::~TAssistantForm() {
    FormDestroy();
}

void TAssistantForm::BuildControls() {
    suggestionFont_ = font();
    DescTxt = new QLabel(this);
    DescTxt->setObjectName(QStringLiteral("DescTxt"));
    MenuBtn = new QToolButton(this);
    MenuBtn->setObjectName(QStringLiteral("MenuBtn"));
    MenuBtn->setArrowType(Qt::DownArrow);
    MenuBtn->setAutoRaise(true);
    MenuBtn->setFocusPolicy(Qt::NoFocus);
    MenuBtn->setToolTip(tr("Menu"));
    connect(MenuBtn, &QToolButton::clicked, this, &TAssistantForm::PopupAtCorner);
    NoSuggestionLbl = new QLabel(QStringLiteral("[No Suggestions]   "), this);
    NoSuggestionLbl->setObjectName(QStringLiteral("NoSuggestionLbl"));
    NoSuggestionLbl->setEnabled(false);
    for (int i = 0; i < TSuggestionList::LabelCount; ++i) {
        Labels[i] = new TSuggestionLabel(this);
        Labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        Labels[i]->setTextFormat(Qt::PlainText);
    }
    DescTxt->setTextFormat(Qt::PlainText);
}

void TAssistantForm::BuildMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Restore1 =
        PopupMenu1->addAction(tr("Bring Up Main Window"), this, &TAssistantForm::Restore1Click);
    N1 = PopupMenu1->addSeparator();
    HideTemporarily1 =
        PopupMenu1->addAction(tr("Hide Temporarily"), this, &TAssistantForm::HideTemporarily1Click);
    N3Columns1 = PopupMenu1->addAction(tr("3 Columns"), this, [this] { SetColumns(3); });
    N1Column1 = PopupMenu1->addAction(tr("1 Column"), this, [this] { SetColumns(1); });
    N3Columns1->setCheckable(true);
    N1Column1->setCheckable(true);
    N2 = PopupMenu1->addSeparator();
    Preferences1 =
        PopupMenu1->addAction(tr("Preferences..."), this, &TAssistantForm::PreferencesRequested);
    About1 = PopupMenu1->addAction(tr("About..."), this, &TAssistantForm::AboutRequested);
}

void TAssistantForm::FormCreate() {
    resize(560, 80);
    std::unique_ptr<TIniFile> ini;
    if (!iniPath_.isEmpty()) ini = std::make_unique<TIniFile>(iniPath_);
    list_.SetColumns(ini ? ini->ReadInteger(kSection, kCols, 3) : 3);
    if (list_.Columns() == 1) resize(300, height());
    LayoutControls();
    const QRect screen = AvailableScreen();
    if (ini && ini->ValueExists(kSection, QStringLiteral("Top"))) {
        setGeometry(Placement::Read(*ini, kSection, geometry(), screen, true, 50).Rect);
    } else {
        // Out of the way of the text being typed: the bottom right corner.
        move(screen.right() - width() - 24, screen.bottom() - height() - 64);
    }
    LayoutControls();
    ShowLabels();
}

void TAssistantForm::FormDestroy() {
    if (iniPath_.isEmpty()) return;
    TIniFile ini(iniPath_);
    Placement::Write(ini, kSection, geometry(), false, false);
    ini.WriteInteger(kSection, kCols, list_.Columns());
    if (!ini.UpdateFile())
        qWarning("Suggestion window position not saved: %s", qPrintable(ini.ErrorString()));
}

void TAssistantForm::SetDictionarySource(TSuggestionList::TDictionarySource source) {
    list_.SetDictionarySource(std::move(source));
}

void TAssistantForm::ApplySettings(const TSuggestionStyle& s) {
    suggestionFont_ = SuggestStyle::ToFont(s.Font, QWidget::font());
    SuggestStyle::SetBackground(this, SuggestStyle::FromWinColor(s.Color));
    list_.SetAlphaChars(Ansi::FromUnicode(s.AlphaChars));
    SetOptions(s.Options);
    BuildShortcuts(s.ShiftState);
    LayoutControls();
}

void TAssistantForm::SetOptions(uint16_t options) {
    options_ = options;
    list_.SetAutoComplete(options & aoAutoComplete);
}

void TAssistantForm::SetProgramStarted(bool started) {
    programStarted_ = started;
}

void TAssistantForm::SetFileName(const QString& fileName) {
    setWindowTitle(kCaption + QStringLiteral(": ") + QFileInfo(fileName).fileName().toUpper());
}

void TAssistantForm::SetShown(bool on) {
    if (!on) {
        list_.SetEnabled(false);
        hide();
        return;
    }
    list_.SetEnabled(true);
    hiddenByUser_ = false;
    LayoutControls();
    Show();
    list_.Refresh();
    ShowLabels();
}

void TAssistantForm::ShowIfEnabled() {
    if (list_.Enabled()) Show();
}

void TAssistantForm::Show() {
    if (!(options_ & aoAutoReplace) || !programStarted_) {
        hide();
        return;
    }
    MenuBtn->show();
    show();
    raise();
}

void TAssistantForm::UpdateSuggestions(const QByteArray& typed, int index) {
    list_.UpdateSuggestions(typed, index);
    ShowLabels();
}

int TAssistantForm::SuggestionIndexForShortcut(uint16_t code) const {
    // A hidden window offers nothing to choose.
    return isVisible() ? list_.SuggestionIndexForShortcut(code) : -1;
}

QByteArray TAssistantForm::GetSuggestionKeyword(uint16_t code) const {
    return isVisible() ? list_.GetSuggestionKeyword(code) : QByteArray();
}

void TAssistantForm::BuildShortcuts(uint8_t shiftState) {
    list_.BuildShortcuts(shiftState);
    list_.Refresh();
    ShowLabels();
}

QVector<uint16_t> TAssistantForm::GrabbedKeys() const {
    if (!isVisible()) return {};
    const std::vector<uint16_t> keys = list_.ListedShortcuts();
    return QVector<uint16_t>(keys.begin(), keys.end());
}

void TAssistantForm::EmitGrabbedKeys() {
    const QVector<uint16_t> keys = GrabbedKeys();
    if (keys == grabbed_) return;
    grabbed_ = keys;
    emit GrabbedKeysChanged(keys);
}

void TAssistantForm::SetColumns(int columns) {
    list_.SetColumns(columns);
    const int minWidth = list_.Columns() == 1 ? 180 : 400;
    if (width() < minWidth) resize(minWidth, height());
    LayoutControls();
    list_.Refresh();
    ShowLabels();
}

void TAssistantForm::ShowLabels() {
    DescTxt->setText(Ansi::ToUnicode(list_.HeadLine()));
    DescTxt->setToolTip(DescTxt->text());
    for (int i = 0; i < TSuggestionList::LabelCount; ++i) {
        Labels[i]->setText(Ansi::ToUnicode(list_.Label(i)));
        Labels[i]->setToolTip(list_.Label(i).isEmpty() ? QString() : list_.ShortcutHint());
    }
    NoSuggestionLbl->setVisible(list_.NoSuggestions());
    EmitGrabbedKeys();
}

void TAssistantForm::LayoutControls() {
    if (layoutBusy_) return;
    layoutBusy_ = true;
    const int columns = list_.Columns(), rows = list_.Rows();
    QFont head = suggestionFont_;
    head.setBold(true);
    NoSuggestionLbl->setFont(suggestionFont_);
    DescTxt->setFont(head);
    const int h = std::max(QFontMetrics(suggestionFont_).height(), QFontMetrics(head).height()) + 2;
    lineHeight_ = h;
    const int cw = width();
    MenuBtn->setGeometry(cw - h - kGap, kGap, h, h);
    DescTxt->setGeometry(kMargin, kGap, std::max(0, cw - MenuBtn->width() - 8), h);
    const int w = cw / columns;
    int y = DescTxt->y() + h + 2 * kGap + 1; // room for the rule under the head
    NoSuggestionLbl->move(kMargin, y);
    NoSuggestionLbl->resize(std::max(0, cw - 2 * kMargin), h);
    for (int r = 0; r < rows; ++r) {
        int x = DescTxt->x();
        for (int c = 0; c < columns; ++c) {
            QLabel* label = Labels[r * columns + c];
            label->setFont(suggestionFont_);
            // The last column reaches the right edge.
            const int lw = c == columns - 1 ? cw - x - kMargin : w - 8;
            label->setGeometry(x, y, std::max(0, lw), h);
            label->show();
            x += w;
        }
        y += h + kGap;
    }
    for (int i = rows * columns; i < TSuggestionList::LabelCount; ++i)
        Labels[i]->hide();
    setMinimumWidth(columns == 1 ? 180 : 400);
    setFixedHeight(y + kGap);
    layoutBusy_ = false;
}

void TAssistantForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void TAssistantForm::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    QColor rule = palette().color(QPalette::WindowText);
    rule.setAlpha(60);
    p.setPen(rule);
    const int y = DescTxt->geometry().bottom() + kGap;
    p.drawLine(kMargin, y, width() - kMargin, y);
}

void TAssistantForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    EmitGrabbedKeys();
}

void TAssistantForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    EmitGrabbedKeys();
}

void TAssistantForm::closeEvent(QCloseEvent* event) {
    // The frame's close button hides the window as "Hide Temporarily" does.
    event->ignore();
    HideTemporarily1Click();
}

void TAssistantForm::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    PopupAtCorner();
}

void TAssistantForm::PopupMenu1Popup() {
    Restore1->setEnabled(!mainWindow_ || !mainWindow_->isVisible() || mainWindow_->isMinimized());
    N3Columns1->setChecked(list_.Columns() == 3);
    N1Column1->setChecked(list_.Columns() == 1);
    // Offered only where someone answers them.
    Preferences1->setEnabled(
        isSignalConnected(QMetaMethod::fromSignal(&TAssistantForm::PreferencesRequested)));
    About1->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&TAssistantForm::AboutRequested)));
}

void TAssistantForm::PopupAtCorner() {
    PopupMenu1Popup();
    PopupMenu1->popup(mapToGlobal(QPoint(width(), 0)));
}

void TAssistantForm::Restore1Click() {
    if (options_ & aoAutoHideSuggestionWindow) hide();
    emit RestoreRequested();
}

void TAssistantForm::HideTemporarily1Click() {
    hiddenByUser_ = true;
    hide();
}
