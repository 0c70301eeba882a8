// The main window's pop-up menus and the buttons above the grid: the
// dictionary file commands on the grid and the tabs, and the text-to-type
// box's commands behind a click on its label.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "shell/Mainfrm.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

namespace {
// A click on the label stands for a button: it opens the box's menu.
class TLabelClick : public QObject {
public:
    TLabelClick(QObject* parent, std::function<void()> click)
        : QObject(parent), click_(std::move(click)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            click_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> click_;
};

QToolButton* SpeedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                         const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}
} // namespace

void TMainForm::BuildPopupMenus() {
    DictPopupMenu = new QMenu(this);
    DictPopupMenu->setObjectName(QStringLiteral("DictPopupMenu"));
    OpenFile1 = DictPopupMenu->addAction(tr("&Open File..."), this, &TMainForm::AddFile1Click);
    CloseFile2 = DictPopupMenu->addAction(tr("&Close File"), this, &TMainForm::CloseFile1Click);
    SaveFile1 = DictPopupMenu->addAction(tr("&Save File"), this, &TMainForm::Save1Click);
    RefreshFile1 = DictPopupMenu->addAction(tr("&Refresh File"), this, &TMainForm::Refresh1Click);
    for (QWidget* w : {static_cast<QWidget*>(Grid), static_cast<QWidget*>(TabSet1)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& at) {
            DictPopupMenuPopup();
            DictPopupMenu->popup(w->mapToGlobal(at));
        });
    }

    // The buttons sit in a row above the grid, inside the splitter's lower pane.
    auto* gridPnl = new QWidget;
    gridPnl->setObjectName(QStringLiteral("GridPnl"));
    auto* column = new QVBoxLayout(gridPnl);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    OpenSpeedButton =
        SpeedButton(gridPnl, "OpenSpeedButton", QStyle::SP_DialogOpenButton, tr("Open File"));
    SaveSpeedButton =
        SpeedButton(gridPnl, "SaveSpeedButton", QStyle::SP_DialogSaveButton, tr("Save File"));
    connect(OpenSpeedButton, &QToolButton::clicked, this, &TMainForm::AddFile1Click);
    PreferencesSpeedButton = SpeedButton(gridPnl, "PreferencesSpeedButton",
                                         QStyle::SP_FileDialogDetailedView, tr("Preferences"));
    connect(SaveSpeedButton, &QToolButton::clicked, this, &TMainForm::Save1Click);
    connect(PreferencesSpeedButton, &QToolButton::clicked, this, [this] { Preferences1Click(); });
    buttons->addWidget(OpenSpeedButton);
    buttons->addWidget(SaveSpeedButton);
    buttons->addWidget(PreferencesSpeedButton);
    buttons->addStretch(1);
    column->addLayout(buttons);
    const int gridAt = GrabBar->indexOf(Grid);
    const QList<int> sizes = GrabBar->sizes();
    column->addWidget(Grid, 1);
    GrabBar->insertWidget(gridAt, gridPnl);
    GrabBar->setStretchFactor(gridAt, 3);
    GrabBar->setSizes(sizes);

    TexToTypPopupMenu = new QMenu(this);
    TexToTypPopupMenu->setObjectName(QStringLiteral("TexToTypPopupMenu"));
    RestoreLast1 =
        TexToTypPopupMenu->addAction(tr("&Restore Last"), this, &TMainForm::RestoreLast1Click);
    TexToTypPopupMenu->addSeparator();
    TexToTypPopupMenu->addAction(tr("&Undo"), Memo1, &QPlainTextEdit::undo)
        ->setObjectName(QStringLiteral("Undo1"));
    TexToTypPopupMenu->addSeparator();
    TexToTypPopupMenu->addAction(tr("Cu&t"), Memo1, &QPlainTextEdit::cut)
        ->setObjectName(QStringLiteral("Cut1"));
    TexToTypPopupMenu->addAction(tr("&Copy"), Memo1, &QPlainTextEdit::copy)
        ->setObjectName(QStringLiteral("Copy1"));
    TexToTypPopupMenu->addAction(tr("&Paste"), Memo1, &QPlainTextEdit::paste)
        ->setObjectName(QStringLiteral("Paste1"));
    TexToTypPopupMenu
        ->addAction(tr("&Delete"), Memo1, [this] { Memo1->textCursor().removeSelectedText(); })
        ->setObjectName(QStringLiteral("Delete1"));
    TexToTypPopupMenu->addSeparator();
    CopytoKeywordBox1 = TexToTypPopupMenu->addAction(tr("Copy to &Keyword Box"), this,
                                                     &TMainForm::CopytoKeywordBox1Click);
    TexToTypPopupMenu->addSeparator();
    TexToTypPopupMenu->addAction(tr("Select &All"), Memo1, &QPlainTextEdit::selectAll)
        ->setObjectName(QStringLiteral("SelectAll1"));
    connect(TexToTypPopupMenu, &QMenu::aboutToShow, this, &TMainForm::TexToTypPopupMenuPopup);
    // As wide as its text, so that the menu opens beside the words.
    TextToTypeLbl->parentWidget()->layout()->setAlignment(TextToTypeLbl, Qt::AlignLeft);
    TextToTypeLbl->installEventFilter(new TLabelClick(this, [this] { TextToTypeLblClick(); }));
    TextToTypeLbl->setCursor(Qt::PointingHandCursor);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { TexToTypPopupMenu->popup(Memo1->mapToGlobal(at)); });

    // The way back to a hidden text-to-type box, besides the main menu.
    InputPnlPopupMenu = new QMenu(this);
    InputPnlPopupMenu->setObjectName(QStringLiteral("InputPnlPopupMenu"));
    ShowTexttoTypeBox2 = InputPnlPopupMenu->addAction(tr("Show Text to Type Box"));
    ShowTexttoTypeBox2->setCheckable(true);
    connect(ShowTexttoTypeBox2, &QAction::triggered, ShowTexttoTypebox1, &QAction::toggle);
    connect(InputPnlPopupMenu, &QMenu::aboutToShow, this,
            [this] { ShowTexttoTypeBox2->setChecked(ShowTexttoTypebox1->isChecked()); });
    QWidget* inputPnl = KeywordEdit->parentWidget();
    inputPnl->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(inputPnl, &QWidget::customContextMenuRequested, this,
            [this, inputPnl](const QPoint& at) {
                InputPnlPopupMenu->popup(inputPnl->mapToGlobal(at));
            });
}

void TMainForm::DictPopupMenuPopup() {
    CloseFile2->setEnabled(TabSet1->count() > 0);
    SaveFile1->setEnabled(!Session.Dict().GetReadOnly());
    SaveSpeedButton->setEnabled(SaveFile1->isEnabled());
}

void TMainForm::ScrollTabsToEnd() {
    // The tab bar scrolls one tab per click of its forward arrow and has no
    // other way to set its first visible tab; the arrow disables itself at the end.
    const Qt::ArrowType forward =
        layoutDirection() == Qt::RightToLeft ? Qt::LeftArrow : Qt::RightArrow;
    for (QToolButton* b : TabSet1->findChildren<QToolButton*>()) {
        if (b->arrowType() != forward) continue;
        for (int i = 0; i < TabSet1->count() && b->isVisible() && b->isEnabled(); ++i)
            b->click();
    }
}

void TMainForm::TextToTypeLblClick() {
    Memo1->setFocus();
    const QRect r = TextToTypeLbl->geometry();
    TexToTypPopupMenu->popup(
        TextToTypeLbl->parentWidget()->mapToGlobal(QPoint(r.right() + 8, r.top() + 8)));
}

void TMainForm::TexToTypPopupMenuPopup() {
    const bool selection = Memo1->textCursor().hasSelection();
    const auto set = [this](const char* name, bool on) {
        if (QAction* a = TexToTypPopupMenu->findChild<QAction*>(QLatin1String(name)))
            a->setEnabled(on);
    };
    set("Undo1", Memo1->document()->isUndoAvailable());
    set("Cut1", selection);
    set("Copy1", selection);
    set("Delete1", selection);
    CopytoKeywordBox1->setEnabled(selection);
    set("Paste1", !QApplication::clipboard()->text().isEmpty());
    set("SelectAll1", !Memo1->document()->isEmpty());
}

void TMainForm::RestoreLast1Click() {
    ProgrammaticKeyword = true;
    KeywordEdit->clear();
    ProgrammaticKeyword = false;
    SetTextToType(QString());
    if (!Typing->LastTypedText.isEmpty()) SetTextToType(Ansi::ToUnicode(Typing->LastTypedText));
}

void TMainForm::CopytoKeywordBox1Click() {
    const QString selected =
        Memo1->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    KeywordEdit->setFocus();
    KeywordEdit->setText(selected);
    KeywordEdit->selectAll();
}
