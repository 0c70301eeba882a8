#include "tags/gui/PickList.h"

#include "platform/Errors.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyledItemDelegate>

namespace {

constexpr int kHeaderRole = Qt::UserRole + 1;

class TPickDelegate : public QStyledItemDelegate {
public:
    explicit TPickDelegate(TPickList* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool header = index.data(kHeaderRole).toBool();
        const bool chosen = option.state & QStyle::State_Selected;
        const bool current = option.state & QStyle::State_HasFocus;
        const QRect r = option.rect;
        p->save();
        p->fillRect(r, option.palette.base());
        const int box = r.height();
        if (chosen && !header) {
            // The check mark: two strokes.
            QPen pen(option.palette.text().color(), qMax(2, box / 8));
            p->setPen(pen);
            p->setRenderHint(QPainter::Antialiasing);
            const QPointF a(r.left() + box * 0.2, r.top() + box * 0.5);
            const QPointF b(r.left() + box * 0.42, r.top() + box * 0.75);
            const QPointF c(r.left() + box * 0.8, r.top() + box * 0.22);
            p->drawLine(a, b);
            p->drawLine(b, c);
        }
        QFont f = option.font;
        if (header && list_->BoldHeaders()) f.setBold(true);
        p->setFont(f);
        p->setPen(option.palette.text().color());
        const QRect textRect = r.adjusted(box, 0, -2, 0);
        QString text = index.data(Qt::DisplayRole).toString();
        if (text.contains(QLatin1Char('\t'))) {
            // Tabs go to the next stop of the list.
            QString out;
            const QFontMetrics fm(f);
            for (const QChar ch : text) {
                if (ch != QLatin1Char('\t')) {
                    out += ch;
                    continue;
                }
                const int w = fm.horizontalAdvance(out);
                const int next = (w / list_->TabStop() + 1) * list_->TabStop();
                while (fm.horizontalAdvance(out) < next)
                    out += QLatin1Char(' ');
            }
            text = out;
        }
        p->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                    QFontMetrics(f).elidedText(text, Qt::ElideRight, textRect.width()));
        if (current) {
            QPen dots(option.palette.highlight().color(), 1, Qt::DotLine);
            p->setPen(dots);
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

private:
    TPickList* list_;
};

} // namespace

TPickList::TPickList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TPickDelegate(this));
    setUniformItemSizes(true);
    setMouseTracking(true);
    SetMultiple(true);
}

void TPickList::SetMultiple(bool multiple) {
    multiple_ = multiple;
    setSelectionMode(multiple ? QAbstractItemView::MultiSelection
                              : QAbstractItemView::SingleSelection);
}

void TPickList::AddItem(const QString& text, bool header) {
    auto* item = new QListWidgetItem(text, this);
    item->setData(kHeaderRole, header);
    item->setToolTip(text);
    if (header) item->setFlags(Qt::ItemIsEnabled); // shown, never chosen
}

bool TPickList::IsHeader(int row) const {
    const QListWidgetItem* it = item(row);
    return it && it->data(kHeaderRole).toBool();
}

void TPickList::SetBoldHeaders(bool on) {
    boldHeaders_ = on;
    viewport()->update();
}

void TPickList::SetColumns(int columns) {
    columns_ = qBound(1, columns, 10);
    UpdateGrid();
}

void TPickList::SetTabStop(int pixels) {
    if (pixels < 1)
        throw EBrevix(QString::number(pixels) + QStringLiteral(" is an invalid tab stop"));
    tabStop_ = pixels;
    viewport()->update();
}

QList<int> TPickList::Chosen() const {
    QList<int> rows;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected() && !IsHeader(i)) rows.append(i);
    return rows;
}

void TPickList::Choose(int row, bool on) {
    if (QListWidgetItem* it = item(row); it && !IsHeader(row)) it->setSelected(on);
}

void TPickList::ChooseAll() {
    for (int i = 0; i < count(); ++i)
        Choose(i, true);
}

int TPickList::FindPrefix(const QString& text) const {
    if (text.isEmpty()) return -1;
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}

void TPickList::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    UpdateGrid();
}

void TPickList::UpdateGrid() {
    const int rowHeight = fontMetrics().height() + fontMetrics().height() / 4;
    if (columns_ <= 1) {
        setFlow(QListView::TopToBottom);
        setWrapping(false);
        setGridSize(QSize());
        for (int i = 0; i < count(); ++i)
            item(i)->setSizeHint(QSize(-1, rowHeight));
    } else {
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setGridSize(QSize(qMax(40, viewport()->width() / columns_ - 1), rowHeight));
    }
}
