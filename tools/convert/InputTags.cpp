#include "tools/convert/InputTags.h"

namespace {
// Braces nest inside a tag, so an unbalanced one would end it early or
// swallow the text after it.
bool Balanced(const QString& s) {
    int depth = 0;
    for (QChar c : s) {
        if (c == QLatin1Char('{')) ++depth;
        if (c == QLatin1Char('}') && --depth < 0) return false;
    }
    return depth == 0;
}

bool OneLine(const QString& s) {
    return !s.contains(QLatin1Char('\r')) && !s.contains(QLatin1Char('\n'));
}
} // namespace

QString FieldNameProblem(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("a field has no name");
    for (QChar c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
            return QStringLiteral("the field name \"%1\" holds \"%2\"; only letters, digits, "
                                  "\"_\" and \"-\" can name a field")
                .arg(name, c);
    return {};
}

QString TInputTags::Field(const TFieldSpec& field, QString* problem) {
    auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return QString();
    };
    if (!field.name.isEmpty()) {
        if (const QString p = FieldNameProblem(field.name); !p.isEmpty()) return fail(p);
        // References are found without regard to case, so are names.
        const QString key = field.name.toLower();
        if (seen_.contains(key)) return QLatin1Char('{') + field.name + QLatin1Char('}');
        seen_.insert(key);
    }
    const QString prompt = field.prompt.simplified();
    if (!Balanced(prompt) || prompt.contains(QStringLiteral(" @")) || prompt.startsWith('@'))
        return fail(
            QStringLiteral("the prompt \"%1\" cannot be written in an input field").arg(prompt));
    QString tag = QStringLiteral("{@INPUT");
    if (!field.name.isEmpty()) tag += QLatin1Char('(') + field.name + QLatin1Char(')');
    tag += QLatin1Char(' ') + prompt;
    if (field.choices.isEmpty()) {
        if (field.multiline) tag += QStringLiteral(" @WANTRETURNS");
        return tag + QLatin1Char('}');
    }
    tag += QStringLiteral(" @SINGLE");
    for (const QString& choice : field.choices) {
        if (!OneLine(choice) || !Balanced(choice))
            return fail(QStringLiteral("the choice \"%1\" cannot be an item of a pick list (it "
                                       "holds a line break or an unbalanced brace)")
                            .arg(choice));
        tag += QStringLiteral("\r\n") + choice;
    }
    return tag + QLatin1Char('}');
}
