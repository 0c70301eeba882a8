#include "shell/PreferencesDialog.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "platform/MessageBox.h"
#include "shell/FileShortcutDialog.h"
#include "shell/ShortcutDialog.h"
#include "shell/SpellingPage.h"
#include "typing/gui/AltInsOptionsDialog.h"
#include "typing/gui/SuggestStyle.h"
#include "typing/gui/SuggestionOptionsDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum TFileColumn { fcShortcut, fcCaption, fcPath };

QString KeyName(uint16_t code) {
    return code ? Ansi::ToUnicode(KeyCodeToText(code)) : QString();
}

QString FontText(const TFontSpec& f) {
    return QStringLiteral("%1, %2 pt%3").arg(f.Name).arg(f.Size).arg(f.Bold ? ", bold" : "");
}

// The caption a row shows: its own, else the file name of the file text up to its first blank.
QString ShownCaption(const QString& caption, const QString& file) {
    if (!caption.isEmpty()) return caption;
    const qsizetype blank = file.indexOf(QLatin1Char(' '));
    return QFileInfo(blank < 0 ? file : file.left(blank)).fileName();
}

// A link-like label that runs a command when clicked.
QLabel* OptionsLink(QWidget* parent, std::function<void()> click) {
    auto* label = new QLabel(QStringLiteral("<a href=\"#\">[Options]</a>"), parent);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, parent, [click] { click(); });
    return label;
}
} // namespace

TPreferencesDlg::TPreferencesDlg(const TSettings& settings, const QString& iniPath, int page,
                                 const QString& dictionaryDir, QWidget* parent)
    : QDialog(parent), settings_(settings), dictionaryDir_(dictionaryDir) {
    setObjectName(QStringLiteral("PreferencesDlg"));
    setWindowTitle(tr("Brevix Preferences") + QStringLiteral(" - ") + iniPath);
    setAcceptDrops(true);
    AskShortcut = [this](uint16_t& code) { return ShortcutDialog(code, this); };
    AskFileShortcut = [this](QString& file, uint16_t& code, QString& caption) {
        return FileShortcutDialog(file, code, caption, dictionaryDir_, this);
    };
    AskFont = [this](QFont& font) {
        bool ok = false;
        font = QFontDialog::getFont(&ok, font, this);
        return ok;
    };
    AskColor = [this](QColor& color) {
        const QColor c = QColorDialog::getColor(color, this);
        if (!c.isValid()) return false;
        color = c;
        return true;
    };
    AskDictionary = [this](const QString& dir) {
        return QFileDialog::getOpenFileName(this, tr("Open Dictionary"), dir,
                                            tr("Dictionaries (*.bxd)"));
    };
    AskYesNo = [this](const QString& q) {
        return TMessageBox::Ask(this, QStringLiteral("Brevix"), q) == QMessageBox::Yes;
    };
    ShowMessage = [this](const QString& m) {
        TMessageBox::Warn(this, QStringLiteral("Brevix"), m);
    };

    PageControl = new QTabWidget(this);
    PageControl->addTab(BuildOperationPage(), tr("&1. Operation"));
    PageControl->addTab(BuildDisplayPage(), tr("&2. Display"));
    PageControl->addTab(BuildFileShortcutsPage(), tr("&3. File Shortcuts"));
    PageControl->addTab(BuildAutoReplacePage(), tr("&4. AutoReplace"));
    PageControl->addTab(BuildLinksPage(), tr("&5. Links"));
    SpellingPage =
        new TSpellingPage(settings_.SpellLanguage, QFileInfo(iniPath).absolutePath(), {}, this);
    PageControl->addTab(SpellingPage, tr("&6. Spelling"));
    PageControl->setCurrentIndex(page >= 0 && page < pgCount ? page : 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);
    FillFromSettings();
    UpdateEnabled();
    resize(std::max(620, sizeHint().width()), sizeHint().height());
}

QWidget* TPreferencesDlg::BuildOperationPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    const auto keyRow = [&](const QString& caption, QLineEdit*& edit, QPushButton*& button,
                            uint16_t& code) {
        edit = new QLineEdit(page);
        edit->setReadOnly(true);
        button = new QPushButton(caption, page);
        connect(button, &QPushButton::clicked, this, [this, &edit, &code] {
            uint16_t c = code;
            if (WhileHidden([&] { return AskShortcut(c); })) {
                code = c;
                edit->setText(KeyName(code));
            }
        });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        form->addRow(button, row);
    };
    keyRow(tr("H&ot Key"), HotKeyEdit, HotKeyBtn, settings_.ProgramHotKey);
    keyRow(tr("&Paste Key"), PasteKeyEdit, PasteKeyBtn, settings_.ClipboardCommand);
    PauseEdit = new QSpinBox(page);
    PauseEdit->setRange(0, 2000);
    PauseEdit->setSingleStep(10);
    IntervalEdit = new QSpinBox(page);
    IntervalEdit->setRange(1, 9999);
    auto* pause = new QHBoxLayout;
    pause->addWidget(PauseEdit);
    pause->addWidget(new QLabel(tr("msec after e&very"), page));
    pause->addWidget(IntervalEdit);
    pause->addWidget(new QLabel(tr("keystrokes"), page));
    pause->addStretch(1);
    auto* pauseLbl = new QLabel(tr("Pa&use"), page);
    pauseLbl->setBuddy(PauseEdit);
    form->addRow(pauseLbl, pause);

    SafetyChk = new QCheckBox(tr("Verify &Target Window Receives Keystrokes"), page);
    BeepHotKeyChk = new QCheckBox(tr("Beep When Hot &Key Pressed"), page);
    BeepEmptyChk = new QCheckBox(tr("Beep When Typing &Empty Text String"), page);
    BeepAfterChk = new QCheckBox(tr("Beep &After Text Transferred"), page);
    ClipboardRadio = new QRadioButton(tr("Simulate &Clipboard Paste  if Text Only"), page);
    KeystrokesRadio = new QRadioButton(tr("&Simulate Keystrokes"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    for (QWidget* w : std::initializer_list<QWidget*>{
             SafetyChk, BeepHotKeyChk, BeepEmptyChk, BeepAfterChk, ClipboardRadio, KeystrokesRadio})
        layout->addWidget(w);
    layout->addStretch(1);
    return page;
}

QWidget* TPreferencesDlg::BuildDisplayPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout;
    const auto button = [&](const QString& caption, int row, int column) {
        auto* b = new QPushButton(caption, page);
        grid->addWidget(b, row, column);
        return b;
    };
    BackgroundColorBtn = button(tr("Main Window Color"), 0, 0);
    EditorFontBtn = button(tr("Editor Font"), 1, 0);
    GridFontBtn = button(tr("Dictionary List Font"), 2, 0);
    KeywordColorBtn = button(tr("Dictionary List Keyword Color"), 3, 0);
    SuggestionFontBtn = button(tr("Suggestion Window Font"), 4, 0);
    SuggestionColorBtn = button(tr("Suggestion Window Color"), 5, 0);
    LinkedColorBtn = button(tr("Dictionary Linked Keyword Color"), 6, 0);
    EditorFontLbl = new QLabel(page);
    GridFontLbl = new QLabel(page);
    SuggestionFontLbl = new QLabel(page);
    grid->addWidget(EditorFontLbl, 1, 1);
    grid->addWidget(GridFontLbl, 2, 1);
    grid->addWidget(SuggestionFontLbl, 4, 1);
    connect(BackgroundColorBtn, &QPushButton::clicked, this,
            [this] { ChooseColor(settings_.BackgroundColor); });
    connect(KeywordColorBtn, &QPushButton::clicked, this,
            [this] { ChooseColor(settings_.KeywordColor); });
    connect(SuggestionColorBtn, &QPushButton::clicked, this,
            [this] { ChooseColor(settings_.SuggestionWindowColor); });
    connect(LinkedColorBtn, &QPushButton::clicked, this,
            [this] { ChooseColor(settings_.LinkedKeywordColor, &linkedColorChanged_); });
    connect(EditorFontBtn, &QPushButton::clicked, this,
            [this] { ChooseFont(settings_.EditorFont, EditorFontLbl); });
    connect(GridFontBtn, &QPushButton::clicked, this,
            [this] { ChooseFont(settings_.GridFont, GridFontLbl); });
    connect(SuggestionFontBtn, &QPushButton::clicked, this,
            [this] { ChooseFont(settings_.SuggestionFont, SuggestionFontLbl); });
    AutoSaveChk = new QCheckBox(tr("&AutoSave"), page);
    NoConfirmExitChk = new QCheckBox(tr("&Do Not Confirm Exit"), page);
    RunMinimizedChk = new QCheckBox(tr("Hide on Start &Up"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addWidget(AutoSaveChk);
    layout->addWidget(NoConfirmExitChk);
    layout->addWidget(RunMinimizedChk);
    layout->addStretch(1);
    return page;
}

QWidget* TPreferencesDlg::BuildFileShortcutsPage() {
    auto* page = new QWidget;
    FileGrid = new QTableWidget(0, 3, page);
    FileGrid->setObjectName(QStringLiteral("FileGrid"));
    FileGrid->setHorizontalHeaderLabels({tr("Shortcut"), tr("Dictionary or Program"), tr("Path")});
    FileGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FileGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FileGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FileGrid->setDragDropMode(QAbstractItemView::InternalMove);
    FileGrid->verticalHeader()->hide();
    FileGrid->horizontalHeader()->setStretchLastSection(true);
    FileGrid->setColumnWidth(fcShortcut, 110);
    FileGrid->setColumnWidth(fcCaption, 200);
    connect(FileGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { EditFileShortcut(row); });
    auto* add = new QPushButton(tr("&Add"), page);
    auto* edit = new QPushButton(tr("&Edit"), page);
    auto* remove = new QPushButton(tr("&Remove"), page);
    const auto current = [this] { return FileGrid->currentRow(); };
    connect(add, &QPushButton::clicked, this, [this] { AddFileShortcut(); });
    connect(edit, &QPushButton::clicked, this, [this, current] { EditFileShortcut(current()); });
    connect(remove, &QPushButton::clicked, this,
            [this, current] { RemoveFileShortcut(current()); });
    auto* menu = new QMenu(FileGrid);
    menu->addAction(tr("&Add"), this, [this] { AddFileShortcut(); });
    menu->addAction(tr("&Edit"), this, [this, current] { EditFileShortcut(current()); });
    menu->addAction(tr("&Remove"), this, [this, current] { RemoveFileShortcut(current()); });
    FileGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileGrid, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& at) { menu->popup(FileGrid->viewport()->mapToGlobal(at)); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(FileGrid, 1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TPreferencesDlg::BuildAutoReplacePage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(tr("AutoReplace"), page);
    AutoReplaceChk = new QCheckBox(tr("Enable &AutoReplace"), group);
    AutoCompleteChk = new QCheckBox(tr("Enable Automatic Keyword &Completion"), group);
    BeepKeywordChk = new QCheckBox(tr("Beep on &Keyword"), group);
    ShiftEnterChk = new QCheckBox(tr("Use Shift+&Enter to expand keyword immediately"), group);
    CtrlSpaceChk =
        new QCheckBox(tr("Use Ctrl+&Space to insert a space w/out expanding keyword"), group);
    AltInsChk = new QCheckBox(tr("Use Alt+&Ins to add current word to dictionary"), group);
    RememberChk = new QCheckBox(tr("&Remember Last Expanded Word"), group);
    OnscreenChk = new QCheckBox(tr("Support &On-Screen Keyboards"), group);
    AltInsOptionsLbl = OptionsLink(group, [this] {
        TAltInsOptionsDlg dlg(settings_.AltInsKeywordPrefix, settings_.AltInsKeywordSuffix, this);
        if (WhileHidden([&] { return dlg.exec() == QDialog::Accepted; })) {
            settings_.AltInsKeywordPrefix = dlg.Prefix();
            settings_.AltInsKeywordSuffix = dlg.Suffix();
        }
    });
    auto* groupLayout = new QVBoxLayout(group);
    auto* head = new QHBoxLayout;
    head->addWidget(AutoReplaceChk);
    head->addStretch(1);
    head->addWidget(AltInsOptionsLbl);
    groupLayout->addLayout(head);
    for (QCheckBox* c : {AutoCompleteChk, BeepKeywordChk, ShiftEnterChk, CtrlSpaceChk, AltInsChk,
                         RememberChk, OnscreenChk})
        groupLayout->addWidget(c);

    auto* hints = new QGroupBox(tr("Hints and Suggestions"), page);
    HintChk = new QCheckBox(tr("Show Hint &Window When Keyword Detected"), hints);
    TrackCaretChk = new QCheckBox(tr("Track Caret"), hints);
    SuggestionChk = new QCheckBox(tr("Show S&uggestion Window"), hints);
    SuggestionOptionsLbl = OptionsLink(hints, [this] {
        TSuggestionOptionsDlg dlg(settings_.SuggestionShiftState, this);
        if (WhileHidden([&] { return dlg.exec() == QDialog::Accepted; }))
            settings_.SuggestionShiftState = dlg.ShiftState();
    });
    auto* hintsLayout = new QGridLayout(hints);
    hintsLayout->addWidget(HintChk, 0, 0);
    hintsLayout->addWidget(TrackCaretChk, 1, 0);
    hintsLayout->setColumnMinimumWidth(0, 200);
    hintsLayout->addWidget(SuggestionChk, 2, 0);
    hintsLayout->addWidget(SuggestionOptionsLbl, 2, 1, Qt::AlignRight);
    TrackCaretChk->setContentsMargins(20, 0, 0, 0);
    connect(AutoReplaceChk, &QCheckBox::toggled, this, &TPreferencesDlg::UpdateEnabled);
    connect(HintChk, &QCheckBox::toggled, this, &TPreferencesDlg::UpdateEnabled);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(hints);
    layout->addStretch(1);
    return page;
}

QWidget* TPreferencesDlg::BuildLinksPage() {
    auto* page = new QWidget;
    LinksList = new QListWidget(page);
    LinksList->setObjectName(QStringLiteral("LinksList"));
    LinksList->setDragDropMode(QAbstractItemView::InternalMove);
    connect(LinksList->model(), &QAbstractItemModel::rowsMoved, this,
            [this] { linksChanged_ = true; });
    auto* add = new QPushButton(tr("&Add"), page);
    auto* remove = new QPushButton(tr("&Remove"), page);
    connect(add, &QPushButton::clicked, this, [this] { AddLink(); });
    connect(remove, &QPushButton::clicked, this, [this] { RemoveLink(LinksList->currentRow()); });
    EnableLinksChk = new QCheckBox(tr("&Enable Links"), page);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(EnableLinksChk);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(tr("Dictionaries whose entries join the open one:"), page));
    layout->addWidget(LinksList, 1);
    layout->addLayout(buttons);
    return page;
}

void TPreferencesDlg::FillFromSettings() {
    const TSettings& s = settings_;
    HotKeyEdit->setText(KeyName(s.ProgramHotKey));
    PasteKeyEdit->setText(KeyName(s.ClipboardCommand));
    PauseEdit->setValue(s.PauseMsec);
    IntervalEdit->setValue(s.PauseKeystrokeInterval);
    SafetyChk->setChecked(s.Has(goEnableSafetyChecks));
    BeepHotKeyChk->setChecked(s.Has(goBeepOnHotKey));
    BeepEmptyChk->setChecked(s.Has(goBeepOnEmptyText));
    BeepAfterChk->setChecked(s.Has(goBeepAfterInsert));
    (s.Has(goUseClipboard) ? ClipboardRadio : KeystrokesRadio)->setChecked(true);
    AutoSaveChk->setChecked(s.Has(goAutoSave1));
    NoConfirmExitChk->setChecked(s.Has(goNoConfirmExit));
    RunMinimizedChk->setChecked(s.Has(goRunMinimized));
    ShowFonts();
    FileGrid->setRowCount(0);
    for (qsizetype i = 0; i < s.FileShortcutNames.size(); ++i) {
        const int row = FileGrid->rowCount();
        FileGrid->insertRow(row);
        const auto at = static_cast<size_t>(i);
        SetFileRow(row, s.FileShortcutNames[i],
                   at < s.FileShortcutCodes.size() ? s.FileShortcutCodes[at] : 0,
                   s.FileShortcutCaptions.value(i));
    }
    if (FileGrid->rowCount() == 0) FileGrid->insertRow(0);
    AutoReplaceChk->setChecked(s.Has(aoAutoReplace));
    AutoCompleteChk->setChecked(s.Has(aoAutoComplete));
    BeepKeywordChk->setChecked(s.Has(aoAutoReplaceBeep));
    ShiftEnterChk->setChecked(s.Has(aoUseShiftEnter));
    CtrlSpaceChk->setChecked(s.Has(aoUseCtrlSpace));
    AltInsChk->setChecked(s.Has(aoUseAltIns));
    RememberChk->setChecked(s.Has(aoRememberLastExpandedWord));
    OnscreenChk->setChecked(s.Has(aoSupportOnscreenKeyboards));
    HintChk->setChecked(s.Has(aoAutoReplaceHint));
    TrackCaretChk->setChecked(s.Has(aoAutoReplaceHintTrackCaret));
    SuggestionChk->setChecked(s.Has(aoAutoReplaceAlwaysShow));
    LinksList->clear();
    LinksList->addItems(s.LinkedDictionaries);
    EnableLinksChk->setChecked(s.Has(goEnableDictionaryLinks));
}

void TPreferencesDlg::ShowFonts() {
    EditorFontLbl->setText(FontText(settings_.EditorFont));
    GridFontLbl->setText(FontText(settings_.GridFont));
    SuggestionFontLbl->setText(FontText(settings_.SuggestionFont));
}

void TPreferencesDlg::UpdateEnabled() {
    const bool on = AutoReplaceChk->isChecked();
    for (QCheckBox* c : {AutoCompleteChk, BeepKeywordChk, ShiftEnterChk, CtrlSpaceChk, AltInsChk,
                         RememberChk, OnscreenChk, HintChk, TrackCaretChk, SuggestionChk})
        c->setEnabled(on);
    TrackCaretChk->setEnabled(on && HintChk->isChecked());
}

TSettings TPreferencesDlg::Result() const {
    TSettings s = settings_;
    s.SpellLanguage = SpellingPage->Language();
    // Not shown here: kept as it was.
    const bool autoHide = s.Has(aoAutoHideSuggestionWindow);
    s.AutoReplaceOptions = 0;
    s.GeneralOptions = 0;
    const std::pair<QCheckBox*, TAutoReplaceOption> ao[] = {
        {AutoReplaceChk, aoAutoReplace},
        {AutoCompleteChk, aoAutoComplete},
        {BeepKeywordChk, aoAutoReplaceBeep},
        {ShiftEnterChk, aoUseShiftEnter},
        {CtrlSpaceChk, aoUseCtrlSpace},
        {AltInsChk, aoUseAltIns},
        {RememberChk, aoRememberLastExpandedWord},
        {OnscreenChk, aoSupportOnscreenKeyboards},
        {HintChk, aoAutoReplaceHint},
        {TrackCaretChk, aoAutoReplaceHintTrackCaret},
        {SuggestionChk, aoAutoReplaceAlwaysShow}};
    for (const auto& [box, bit] : ao)
        s.Set(bit, box->isChecked());
    s.Set(aoAutoHideSuggestionWindow, autoHide);
    const std::pair<QAbstractButton*, TGeneralOption> go[] = {
        {SafetyChk, goEnableSafetyChecks},        {BeepHotKeyChk, goBeepOnHotKey},
        {BeepEmptyChk, goBeepOnEmptyText},        {BeepAfterChk, goBeepAfterInsert},
        {ClipboardRadio, goUseClipboard},         {AutoSaveChk, goAutoSave1},
        {NoConfirmExitChk, goNoConfirmExit},      {RunMinimizedChk, goRunMinimized},
        {EnableLinksChk, goEnableDictionaryLinks}};
    for (const auto& [box, bit] : go)
        s.Set(bit, box->isChecked());
    s.ClipboardCommandKeys = EncodeKeyInText(s.ClipboardCommand);
    s.PauseMsec = PauseEdit->value();
    s.PauseKeystrokeInterval = IntervalEdit->value();
    // Rows with a path and a key that names a code are kept.
    s.FileShortcutNames.clear();
    s.FileShortcutCaptions.clear();
    s.FileShortcutCodes.clear();
    for (int row = 0; row < FileGrid->rowCount(); ++row) {
        const QTableWidgetItem* path = FileGrid->item(row, fcPath);
        const QTableWidgetItem* key = FileGrid->item(row, fcShortcut);
        if (!path || path->text().isEmpty() || !key) continue;
        const uint16_t code = TextToKeyCode(Ansi::FromUnicode(key->text()));
        if (!code) continue;
        const QString caption = FileGrid->item(row, fcCaption)->data(Qt::UserRole).toString();
        s.FileShortcutNames << path->text();
        s.FileShortcutCaptions << (caption == path->text() ? QString() : caption);
        s.FileShortcutCodes.push_back(code);
    }
    s.LinkedDictionaries.clear();
    for (int i = 0; i < LinksList->count(); ++i)
        s.LinkedDictionaries << LinksList->item(i)->text();
    if (!linkedColorChanged_) s.LinkedKeywordColor = settings_.LinkedKeywordColor;
    return s;
}

bool TPreferencesDlg::WhileHidden(const std::function<bool()>& dialog) {
    const bool shown = isVisible();
    if (shown) hide();
    const bool ok = dialog();
    if (shown) show();
    return ok;
}

void TPreferencesDlg::ChooseFont(TFontSpec& spec, QLabel* label) {
    QFont font = SuggestStyle::ToFont(spec, this->font());
    if (!WhileHidden([&] { return AskFont(font); })) return;
    if (font.italic() || font.underline() || font.strikeOut()) {
        ShowMessage(tr("The font style can only be Regular or Bold."));
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
    }
    spec = {font.family(), font.pointSize() > 0 ? font.pointSize() : spec.Size, font.bold()};
    label->setText(FontText(spec));
}

void TPreferencesDlg::ChooseColor(uint32_t& color, bool* changed) {
    QColor c = SuggestStyle::FromWinColor(color);
    if (!WhileHidden([&] { return AskColor(c); })) return;
    color = SuggestStyle::ToWinColor(c);
    if (changed) *changed = true;
}

// ---- file shortcuts ----------------------------------------------------------

void TPreferencesDlg::SetFileRow(int row, const QString& file, uint16_t code,
                                 const QString& caption) {
    auto* key = new QTableWidgetItem(KeyName(code));
    auto* shown = new QTableWidgetItem(ShownCaption(caption, file));
    shown->setData(Qt::UserRole, caption);
    FileGrid->setItem(row, fcShortcut, key);
    FileGrid->setItem(row, fcCaption, shown);
    FileGrid->setItem(row, fcPath, new QTableWidgetItem(file));
}

int TPreferencesDlg::EmptyFileRow() const {
    for (int row = 0; row < FileGrid->rowCount(); ++row) {
        const QTableWidgetItem* path = FileGrid->item(row, fcPath);
        if (!path || path->text().isEmpty()) return row;
    }
    return -1;
}

QString TPreferencesDlg::FileShortcutFault(int row, const QString& file, uint16_t code) const {
    if (file.contains(QLatin1Char('=')))
        return tr("The filename cannot contain the '%1' character.").arg(QStringLiteral("="));
    if (code && code == settings_.ProgramHotKey)
        return tr("'%1' is defined as the hot key.\nPlease specify another shortcut")
            .arg(KeyName(code));
    const QString name = KeyName(code);
    for (int r = 0; r < FileGrid->rowCount(); ++r) {
        const QTableWidgetItem* key = FileGrid->item(r, fcShortcut);
        if (r != row && key && !name.isEmpty() &&
            key->text().compare(name, Qt::CaseInsensitive) == 0)
            return tr("'%1' is already in the list.").arg(name);
    }
    return QString();
}

void TPreferencesDlg::EditFileRow(int row, bool adding, QString file, uint16_t code,
                                  QString caption) {
    // Asked again with the values entered until they pass or the user gives up.
    for (;;) {
        if (!WhileHidden([&] { return AskFileShortcut(file, code, caption); })) {
            if (adding && FileGrid->rowCount() > 1) FileGrid->removeRow(row);
            return;
        }
        const QString fault = FileShortcutFault(row, file, code);
        if (fault.isEmpty()) break;
        ShowMessage(fault);
    }
    SetFileRow(row, file, code, caption);
    FileGrid->setCurrentCell(row, fcShortcut);
}

void TPreferencesDlg::AddFileShortcut(const QString& droppedFile) {
    int row = EmptyFileRow();
    if (row < 0) {
        row = FileGrid->rowCount();
        FileGrid->insertRow(row);
    }
    EditFileRow(row, true, droppedFile, 0, QString());
}

void TPreferencesDlg::EditFileShortcut(int row) {
    if (row < 0 || row >= FileGrid->rowCount()) return;
    const auto text = [&](int column) {
        const QTableWidgetItem* i = FileGrid->item(row, column);
        return i ? i->text() : QString();
    };
    const QTableWidgetItem* caption = FileGrid->item(row, fcCaption);
    EditFileRow(row, false, text(fcPath), TextToKeyCode(Ansi::FromUnicode(text(fcShortcut))),
                caption ? caption->data(Qt::UserRole).toString() : QString());
}

void TPreferencesDlg::RemoveFileShortcut(int row) {
    const QTableWidgetItem* path = FileGrid->item(row, fcPath);
    if (!path || path->text().isEmpty()) return;
    if (!AskYesNo(tr("Remove the item\n\"%1\" ?").arg(path->text()))) return;
    if (FileGrid->rowCount() > 1) {
        FileGrid->removeRow(row);
    } else {
        for (int c = 0; c < FileGrid->columnCount(); ++c)
            delete FileGrid->takeItem(row, c);
    }
}

// ---- links ---------------------------------------------------------------------

void TPreferencesDlg::AddLink(const QString& file) {
    QString name = file;
    if (name.isEmpty()) name = AskDictionary(dictionaryDir_);
    name = name.trimmed().toLower();
    if (name.isEmpty()) return;
    for (int i = LinksList->count() - 1; i >= 0; --i)
        if (LinksList->item(i)->text() == name) delete LinksList->takeItem(i);
    LinksList->addItem(name);
    linksChanged_ = true;
}

void TPreferencesDlg::RemoveLink(int row) {
    if (row < 0 || row >= LinksList->count()) return;
    delete LinksList->takeItem(row);
    linksChanged_ = true;
}

void TPreferencesDlg::dragEnterEvent(QDragEnterEvent* event) {
    const int page = PageControl->currentIndex();
    if (event->mimeData()->hasUrls() && (page == pgFileShortcuts || page == pgLinks))
        event->acceptProposedAction();
}

void TPreferencesDlg::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        if (PageControl->currentIndex() == pgLinks)
            AddLink(url.toLocalFile());
        else
            AddFileShortcut(url.toLocalFile());
    }
    event->acceptProposedAction();
}
