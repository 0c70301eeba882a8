#pragma once
// A date typed in the user's short date format, with keys that move it (+ - T
// M H Y R) and a calendar on double click; an invalid text never leaves it.
#include <QDate>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>

class QCalendarWidget;
class QLabel;

// The mask for a short date format: runs of y become 9999, other letter runs 99.
QString DateEditMask(const QString& shortFormat);
// The date that a key of the table makes of d; an invalid date when the key
// does not move dates. dateSeparator: "-" is then typed, not a step back.
QDate DateKeyTarget(QChar key, const QDate& d, const QDate& today, bool minusIsSeparator);

class TDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr, const QLocale& locale = QLocale::system());
    QDate Date() const { return date_; }
    void SetDate(const QDate& date);
    // Takes the text when it is a date; else shows the error and the last
    // valid date again, and returns false.
    bool CheckText();
    void ShowCalendar();
    QString ShortFormat() const { return format_; }

signals:
    void DateChanged(const QDate& date);
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QLocale locale_;
    QString format_;
    QDate date_;
};

class TMyCalendar : public QDialog {
    Q_OBJECT
public:
    TMyCalendar(const QDate& date, const QString& format, QWidget* parent = nullptr);
    QDate Date() const;
    QCalendarWidget* Calendar1 = nullptr;
    QLabel* SelectedLbl = nullptr;

private:
    QString format_;
};
