#include "tags/gui/DateEdit.h"

#include "platform/MessageBox.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Calls run(c, text) for each run of one repeated character of a date format
// ("dd", "/", "yyyy").
template <typename F> void ForEachRun(const QString& format, F run) {
    for (qsizetype i = 0; i < format.size();) {
        qsizetype j = i;
        while (j < format.size() && format[j] == format[i])
            ++j;
        run(format[i], QStringView(format).mid(i, j - i));
        i = j;
    }
}

// The short format with two-digit fields and a four-digit year, so that the
// mask fits every date.
QString FixedWidthFormat(const QString& f) {
    QString out;
    ForEachRun(f, [&out](QChar c, QStringView text) {
        if (c.isLetter()) {
            const QChar l = c.toLower();
            out += l == QLatin1Char('y') ? QStringLiteral("yyyy")
                                         : QString(2, l == QLatin1Char('m') ? QChar('M') : l);
        } else {
            out += text;
        }
    });
    return out;
}

} // namespace

QString DateEditMask(const QString& shortFormat) {
    QString mask;
    ForEachRun(shortFormat, [&mask](QChar c, QStringView text) {
        if (c.isLetter())
            mask += c.toLower() == QLatin1Char('y') ? QStringLiteral("9999") : QStringLiteral("99");
        else
            for (QChar k : text)
                mask += QStringLiteral("\\") + k;
    });
    return mask + QStringLiteral(";_");
}

QDate DateKeyTarget(QChar key, const QDate& d, const QDate& today, bool minusIsSeparator) {
    switch (key.toUpper().unicode()) {
    case '+':
    case '=':
        return d.addDays(1);
    case '-':
        return minusIsSeparator ? QDate() : d.addDays(-1);
    case 'T':
        return today;
    case 'M':
        return d.day() == 1 ? d.addMonths(-1) : QDate(d.year(), d.month(), 1);
    case 'H': {
        if (d.day() == d.daysInMonth()) {
            const QDate next = QDate(d.year(), d.month(), 1).addMonths(1);
            return QDate(next.year(), next.month(), next.daysInMonth());
        }
        return QDate(d.year(), d.month(), d.daysInMonth());
    }
    case 'Y':
        return d.month() == 1 && d.day() == 1 ? QDate(d.year() - 1, 1, 1) : QDate(d.year(), 1, 1);
    case 'R':
        return d.month() == 12 && d.day() == 31 ? QDate(d.year() + 1, 12, 31)
                                                : QDate(d.year(), 12, 31);
    default:
        return QDate();
    }
}

TDateEdit::TDateEdit(QWidget* parent, const QLocale& locale)
    : QLineEdit(parent), locale_(locale),
      format_(FixedWidthFormat(locale.dateFormat(QLocale::ShortFormat))) {
    setInputMask(DateEditMask(format_));
    setToolTip(tr("Double click to display calendar"));
    SetDate(QDate::currentDate());
}

void TDateEdit::SetDate(const QDate& date) {
    if (!date.isValid()) return;
    date_ = date;
    setText(locale_.toString(date, format_));
    emit DateChanged(date_);
}

bool TDateEdit::CheckText() {
    const QDate d = locale_.toDate(text(), format_);
    if (d.isValid()) {
        if (d != date_) SetDate(d);
        return true;
    }
    const QString bad = text();
    SetDate(date_);
    TMessageBox::Error(this, QStringLiteral("Brevix"), tr("Invalid date: ") + bad);
    return false;
}

void TDateEdit::ShowCalendar() {
    TMyCalendar dlg(date_, format_, this);
    if (dlg.exec() == QDialog::Accepted) SetDate(dlg.Date());
}

void TDateEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (CheckText()) emit EnterPressed();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        // A text that is no date goes back to the last valid one; a valid one
        // lets Escape through to the form.
        if (!locale_.toDate(text(), format_).isValid()) {
            SetDate(date_);
            return;
        }
        event->ignore();
        return;
    }
    const QString t = event->text();
    if (t.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool minusSeparates = format_.contains(QLatin1Char('-'));
        const QDate d = locale_.toDate(text(), format_);
        const QDate target =
            DateKeyTarget(t[0], d.isValid() ? d : date_, QDate::currentDate(), minusSeparates);
        if (target.isValid()) {
            SetDate(target);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TDateEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The error box itself takes the focus: only check once.
    if (!locale_.toDate(text(), format_).isValid() && isVisible()) CheckText();
}

void TDateEdit::mouseDoubleClickEvent(QMouseEvent*) {
    ShowCalendar();
}

TMyCalendar::TMyCalendar(const QDate& date, const QString& format, QWidget* parent)
    : QDialog(parent), format_(format) {
    setObjectName(QStringLiteral("MyCalendar"));
    setWindowTitle(tr("Select a Date"));
    Calendar1 = new QCalendarWidget(this);
    Calendar1->setSelectedDate(date);
    Calendar1->setGridVisible(true);
    SelectedLbl = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Calendar1);
    layout->addWidget(SelectedLbl);
    layout->addWidget(buttons);
    const auto follow = [this] {
        SelectedLbl->setText(tr("Selected Date: ") +
                             QLocale::system().toString(Calendar1->selectedDate(), format_));
    };
    // QCalendarWidget moves to the neighbouring month when one of its days is clicked.
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, follow);
    connect(Calendar1, &QCalendarWidget::activated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    follow();
}

QDate TMyCalendar::Date() const {
    return Calendar1->selectedDate();
}
