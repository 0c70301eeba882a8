#pragma once
// Input tags: what kind of field a tag asks for, its name, prompt and options,
// the items of a pick list, and the value blocks that keep each answer.
// QtCore only; the forms that ask live in tags/gui.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <cstdint>

enum class TInputKind : uint8_t {
    None = 0,
    Text = 1,
    Date = 2,
    PickList = 3,
    File = 4,
    Tcl = 5,
    Message = 6,
};

// What a field step answers: the button the user pressed, or how the step ended.
namespace nav {
enum : int {
    Undecided = 0,
    Done = 1,
    Next = 2,
    Back = 3,
    Cancel = 4,
    Restart = 5,
    Preview = 6,
    TooMany = 7,
    Restored = 8,
    SaveSession = 9,
    RestoreSession = 10,
    SessionFailed = 11,
};
}

struct TInputField {
    TInputKind Kind = TInputKind::None;
    QString Name;   // empty for an unnamed field
    QString Prompt; // options removed; for a file field, the file name
    QString Script; // the script of a Tcl field, the text of a message field
    QString OnShow; // " @ONSHOW=" script
    bool WantReturns = false;
    bool Single = false;
    bool Groups = false;
    bool GroupPrint = false;
    bool GroupBold = false;
    bool AutoNumber = false;
    bool Long = false;
    QString Separator;
    QStringList ItemLines; // the lines of a pick list after its first
};

struct TPickItem {
    QString Shown; // as the list shows it: remark, number
    QString Value; // what is inserted
    bool Header = false;
};

// tag: from "{" to its closing "}".
TInputKind InputTagKind(QStringView tag);
TInputField ParseInputTag(QStringView tag);
QList<TPickItem> PickItems(const TInputField& field);

// "{@INPUT FIELD #n}", the stand-in for a tag that is not being asked for.
QString InputPlaceholder(int n);

// The first input tag at or after from whose closing brace exists, as
// [start, end] with end on the "}"; start is -1 when there is none.
struct TTagSpan {
    qsizetype Start = -1;
    qsizetype End = -1;
};
TTagSpan FindInputTag(QStringView text, qsizetype from = 0);

// Value blocks: the text part, a NUL, then what lets the form show the same
// answer again. Texts are Windows-1252 inside.
QByteArray TextValue(const QString& text);
QString ValueText(const QByteArray& value);
QByteArray PickListValue(const QList<TPickItem>& items, const TInputField& field,
                         const QList<int>& chosen);
// The indexes after the NUL; those beyond count are dropped.
QList<int> PickListIndexes(const QByteArray& value, int count);
QString FormatInputDate(const QDate& date, bool longFormat, const QLocale& locale);
QByteArray DateValue(const QDate& date, bool longFormat, const QLocale& locale);
// False when the block holds no date (then date and longFormat are untouched).
bool ReadDateValue(const QByteArray& value, QDate& date, bool& longFormat);

// File fields: the name without quotes, taken from dictFolder when it has no
// folder of its own.
QString InputFilePath(const QString& name, const QString& dictFolder);
// "An error occurred while executing the tag ..." for a file that cannot be read.
QString InputFileError(const QString& name);

// What a Tcl field's result asks for: Next with the result as the answer, or
// Cancel (after the question), Back or Restart with an empty answer.
int TclResultCode(const QByteArray& result);

// Placeholders: every input tag of a text shown for review becomes
// "{@INPUT FIELD #n}", n counting from First; the tags are kept in order so
// that they can be put back before the fields are asked for again.
struct TKeptTags {
    int First = 1;
    QStringList Tags;
};
void HideInputTags(QString& text, int first, TKeptTags& kept);
// Puts the kept tags back, each in place of its placeholder found from the
// previous one on (any letter case), and empties kept.
void RestoreInputTags(QString& text, TKeptTags& kept);
