#include "typing/gui/HintBox.h"

#include "platform/Ansi.h"
#include "platform/IniFile.h"
#include "platform/Placement.h"
#include "typing/gui/SuggestStyle.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
const QString kSection = QStringLiteral("HintWindow");
constexpr uint32_t kHintYellow = 0x80FFFF;

QRect ScreenOf(const QRect& target) {
    const QScreen* screen = target.isEmpty() ? nullptr : QGuiApplication::screenAt(target.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
} // namespace

TBx5HintBox::TBx5HintBox(const QString& iniPath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint),
      iniPath_(iniPath) {
    setObjectName(QStringLiteral("Bx5HintBox"));
    setWindowTitle(QStringLiteral("Brevix"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(tr("Click right mouse to bring up main window"));
    KeywordTxt = new QLabel(this);
    KeywordTxt->setObjectName(QStringLiteral("KeywordTxt"));
    Desc1Txt = new QLabel(this);
    Desc1Txt->setObjectName(QStringLiteral("Desc1Txt"));
    Desc2Txt = new QLabel(this);
    Desc2Txt->setObjectName(QStringLiteral("Desc2Txt"));
    for (QLabel* l : {KeywordTxt, Desc1Txt, Desc2Txt}) {
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        // Clicks go to the box, which is dragged by them.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QFont bold = KeywordTxt->font();
    bold.setBold(true);
    KeywordTxt->setFont(bold);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addSeparator();
    Pause1 = PopupMenu1->addAction(tr("Pause"));
    Pause1->setCheckable(true);
    SetColor(kHintYellow);
    resize(SizeToText());

    if (!iniPath_.isEmpty()) {
        const TIniFile ini(iniPath_);
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        move(Placement::Read(ini, kSection, geometry(), area, false, 50).Rect.topLeft());
    }
}

TBx5HintBox::~TBx5HintBox() {
    if (iniPath_.isEmpty()) return;
    TIniFile ini(iniPath_);
    Placement::Write(ini, kSection, geometry(), false, false);
    if (!ini.UpdateFile())
        qWarning("Hint box position not saved: %s", qPrintable(ini.ErrorString()));
}

void TBx5HintBox::SetKeyword(const QByteArray& keyword) {
    keyword_ = keyword;
    KeywordTxt->setText(Ansi::ToUnicode(keyword));
}

void TBx5HintBox::SetDescription(const QByteArray& description) {
    description_ = description;
    Desc1Txt->setText(Ansi::ToUnicode(description));
}

void TBx5HintBox::SetFileName(const QString& fileName) {
    Desc2Txt->setText(QStringLiteral("Brevix: ") + QFileInfo(fileName).fileName());
}

void TBx5HintBox::SetColor(uint32_t color) {
    SuggestStyle::SetBackground(this, SuggestStyle::FromWinColor(color));
    update();
}

QSize TBx5HintBox::SizeToText() {
    const int kwWidth = KeywordTxt->fontMetrics().horizontalAdvance(KeywordTxt->text());
    const int descWidth = Desc1Txt->fontMetrics().horizontalAdvance(Desc1Txt->text());
    const int width = std::max({50, descWidth + 16, kwWidth + 16});
    const int kwHeight = KeywordTxt->fontMetrics().height() + 2;
    const int descHeight = Desc1Txt->fontMetrics().height() + 2;
    KeywordTxt->setGeometry(0, 3, width, kwHeight);
    Desc1Txt->setGeometry(0, KeywordTxt->geometry().bottom() + 1, width, descHeight);
    const int height = Desc1Txt->y() + Desc1Txt->height() + 2 + 1;
    // The file line lies below the visible area.
    Desc2Txt->setGeometry(0, height + 2, width, descHeight);
    return QSize(width, height);
}

QPoint TBx5HintBox::Place(const QSize& box, const QRect& target, const std::optional<QPoint>& caret,
                          const QRect& screen, const QPoint& fallback) {
    QPoint p = fallback;
    const bool hasTarget = !target.isEmpty();
    if (hasTarget) {
        p = QPoint(target.left() + 2, target.top() + target.height() + 2);
        if (caret && caret->x() >= target.left() && caret->x() <= target.left() + target.width() &&
            caret->y() >= target.top() && caret->y() <= target.top() + target.height())
            p = QPoint(caret->x() + 8, caret->y() + 21);
    }
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    if (p.x() + box.width() > screenRight) p.setX(screenRight - box.width() - 2);
    if (p.y() + box.height() >= screenBottom)
        p.setY(hasTarget ? target.top() - box.height() - 2 : screenBottom - box.height() - 2);
    p.setX(std::max(p.x(), screen.left() + 1));
    p.setY(std::max(p.y(), screen.top() + 1));
    return p;
}

QRect TBx5HintBox::ShowFor(const QRect& target, const std::optional<QPoint>& caret) {
    const QSize size = SizeToText();
    const QPoint at = Place(size, target, caret, ScreenOf(target), pos());
    setGeometry(QRect(at, size));
    show();
    raise();
    return geometry();
}

void TBx5HintBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragOffset_ = event->globalPosition().toPoint() - pos();
    } else if (event->button() == Qt::RightButton) {
        emit RestoreRequested();
    }
    event->accept();
}

void TBx5HintBox::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *dragOffset_);
    event->accept();
}

void TBx5HintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragOffset_.reset();
    event->accept();
}

void TBx5HintBox::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

void TBx5HintBox::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Window).darker(170));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
