// Writes an espanso match file. Input fields become one form per entry;
// tags espanso has no counterpart for stay as written and are reported.
#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "tags/ParseTxt.h"
#include "tools/convert/Formats.h"

#include <QRegularExpression>
#include <yaml-cpp/yaml.h>

namespace Formats {

namespace {

struct TFormField {
    QString name, prompt;
    QStringList choices;
    bool multiline = false;
};

class TEntryText {
public:
    TEntryText(const TDictionaryItem& item, QList<TConvertNote>& losses)
        : where_(EntryPlace(item)), losses_(losses) {}

    // The replacement text, with the form's fields collected on the way.
    QString Convert(const QString& text) {
        QString out;
        qsizetype pos = 0;
        while (pos < text.size()) {
            const qsizetype open = text.indexOf(QStringLiteral("{@"), pos);
            const qsizetype close = open < 0 ? -1 : FindMatchingBrace(QStringView(text), open);
            if (close < 0) break;
            out += text.mid(pos, open - pos);
            out += Tag(text.mid(open, close + 1 - open));
            pos = close + 1;
        }
        out += text.mid(pos);
        return References(WithLf(out));
    }

    const QList<TFormField>& Fields() const { return fields_; }

private:
    QString Tag(const QString& tag) {
        const QString body = tag.mid(2, tag.size() - 3);
        const QString upper = body.toUpper();
        auto named = [&](const char* name) {
            const QString n = QLatin1String(name);
            return upper == n ||
                   (upper.startsWith(n) && upper.size() > n.size() && (upper[n.size()].isSpace()));
        };
        if (named("REM")) return {};
        if (named("CR")) return QStringLiteral("\n");
        if (named("LEFTBRACE")) return QStringLiteral("{");
        if (named("RIGHTBRACE")) return QStringLiteral("}");
        if (upper.startsWith(QLatin1String("INPUT")) &&
            !upper.startsWith(QLatin1String("INPUTDATE")) &&
            !upper.startsWith(QLatin1String("INPUTFILE")) &&
            !upper.startsWith(QLatin1String("INPUTTCL")) &&
            !upper.startsWith(QLatin1String("INPUTMSG")))
            return Field(body.mid(5));
        losses_.append({where_, QStringLiteral("the tag %1 has no espanso counterpart and is kept "
                                               "as written")
                                    .arg(tag.section(QLatin1Char('\n'), 0, 0).left(60))});
        return tag;
    }

    // The text of a text field or pick list after "{@INPUT".
    QString Field(QString rest) {
        TFormField f;
        if (rest.startsWith(QLatin1Char('('))) {
            const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[)\\r}]")));
            f.name = rest.mid(1, end < 0 ? -1 : end - 1).trimmed();
            rest = end < 0 ? QString() : rest.mid(end + 1);
        }
        QStringList lines = rest.split(QRegularExpression(QStringLiteral("\\r?\\n|\\r")));
        QString prompt = QLatin1Char(' ') + lines.takeFirst();
        const bool single = prompt.contains(QStringLiteral(" @SINGLE"));
        f.multiline = prompt.contains(QStringLiteral(" @WANTRETURNS"));
        prompt.remove(QStringLiteral(" @SINGLE")).remove(QStringLiteral(" @WANTRETURNS"));
        if (prompt.contains(QStringLiteral(" @")))
            losses_.append({where_, QStringLiteral("input field options other than @SINGLE and "
                                                   "@WANTRETURNS are not carried over")});
        f.prompt = prompt.section(QStringLiteral(" @"), 0, 0).trimmed();
        f.choices = lines;
        if (!lines.isEmpty() && !single)
            losses_.append({where_, QStringLiteral("a pick list of several choices becomes a "
                                                   "single choice")});
        if (f.name.isEmpty() || f.name.contains(QRegularExpression(QStringLiteral("[^\\w-]")))) {
            f.name = QStringLiteral("field%1").arg(fields_.size() + 1);
        }
        // A second field of the same name is asked for again: it needs a key of its own.
        for (int n = 2; Named(f.name); ++n)
            f.name = f.name.section(QLatin1Char('_'), 0, 0) + QStringLiteral("_%1").arg(n);
        fields_.append(f);
        return QStringLiteral("{{form1.%1}}").arg(f.name);
    }

    bool Named(const QString& name) const {
        for (const TFormField& f : fields_)
            if (f.name.compare(name, Qt::CaseInsensitive) == 0) return true;
        return false;
    }

    // {name} after a named field holds that field's answer.
    QString References(QString text) const {
        for (const TFormField& f : fields_)
            text.replace(QLatin1Char('{') + f.name + QLatin1Char('}'),
                         QStringLiteral("{{form1.%1}}").arg(f.name), Qt::CaseInsensitive);
        return text;
    }

    QString where_;
    QList<TConvertNote>& losses_;
    QList<TFormField> fields_;
};

std::string U8(const QString& s) {
    return s.toStdString();
}

void EmitForm(YAML::Emitter& y, const QList<TFormField>& fields) {
    y << YAML::Key << "vars" << YAML::Value << YAML::BeginSeq << YAML::BeginMap;
    y << YAML::Key << "name" << YAML::Value << "form1";
    y << YAML::Key << "type" << YAML::Value << "form";
    y << YAML::Key << "params" << YAML::Value << YAML::BeginMap;
    QString layout;
    for (const TFormField& f : fields)
        layout += (f.prompt.isEmpty() ? f.name : f.prompt) + QStringLiteral(": [[") + f.name +
                  QStringLiteral("]]\n");
    y << YAML::Key << "layout" << YAML::Value << YAML::DoubleQuoted << U8(layout.chopped(1));
    y << YAML::Key << "fields" << YAML::Value << YAML::BeginMap;
    for (const TFormField& f : fields) {
        y << YAML::Key << U8(f.name) << YAML::Value << YAML::BeginMap;
        if (!f.choices.isEmpty()) {
            y << YAML::Key << "type" << YAML::Value << "choice";
            y << YAML::Key << "values" << YAML::Value << YAML::BeginSeq;
            for (const QString& c : f.choices)
                y << YAML::DoubleQuoted << U8(c);
            y << YAML::EndSeq;
        } else {
            y << YAML::Key << "type" << YAML::Value << "text";
            if (f.multiline) y << YAML::Key << "multiline" << YAML::Value << true;
        }
        y << YAML::EndMap;
    }
    y << YAML::EndMap << YAML::EndMap << YAML::EndMap << YAML::EndSeq;
}

} // namespace

QByteArray ExportEspanso(const TDictionaryList& list, QList<TConvertNote>& losses) {
    YAML::Emitter y;
    y << YAML::BeginMap << YAML::Key << "matches" << YAML::Value << YAML::BeginSeq;
    for (int i = 0; i < list.Count(); ++i) {
        const TDictionaryItem& e = *list.GetItem(i);
        TEntryText converter(e, losses);
        const QString text = converter.Convert(Ansi::ToUnicode(e.GetText()));
        y << YAML::BeginMap;
        y << YAML::Key << "trigger" << YAML::Value << YAML::DoubleQuoted
          << U8(Ansi::ToUnicode(e.GetKeyword()));
        y << YAML::Key << "replace" << YAML::Value << YAML::DoubleQuoted << U8(text);
        if (!e.GetDescription().isEmpty())
            y << YAML::Key << "label" << YAML::Value << YAML::DoubleQuoted
              << U8(Ansi::ToUnicode(e.GetDescription()));
        if (!converter.Fields().isEmpty()) EmitForm(y, converter.Fields());
        y << YAML::EndMap;
        if (e.GetShortcut())
            losses.append({EntryPlace(e), QStringLiteral("its shortcut key is not carried over")});
    }
    y << YAML::EndSeq << YAML::EndMap;
    return QByteArray("# espanso match file written by Brevix\n") + y.c_str() + '\n';
}

} // namespace Formats
