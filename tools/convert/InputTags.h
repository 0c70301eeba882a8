#pragma once
// Input fields in our tag language, written for what other programs ask the
// user for: a named text field or a single-choice pick list, its later
// occurrences written as references to the first.
#include <QSet>
#include <QString>
#include <QStringList>

struct TFieldSpec {
    QString name;        // letters, digits, "_" and "-"; empty for an unnamed field
    QString prompt;      // one line
    QStringList choices; // a pick list when not empty
    bool multiline = false;
};

class TInputTags {
public:
    // The tag for the field's first occurrence, its reference "{name}" after
    // that; empty with *problem set when the field cannot be written.
    QString Field(const TFieldSpec& field, QString* problem);

private:
    QSet<QString> seen_;
};

// Empty when the name can name a field, else why not.
QString FieldNameProblem(const QString& name);
