// espanso match files: a "matches" list of triggers and replacements, with
// variables ({{name}}) and forms ([[field]], {{form.field}}).
#include "tools/convert/Formats.h"
#include "tools/convert/InputFile.h"
#include "tools/convert/InputTags.h"

#include <QHash>
#include <QSet>
#include <yaml-cpp/yaml.h>

namespace Formats {

namespace {

QString Str(const YAML::Node& n) {
    return QString::fromStdString(n.Scalar());
}

// A missing key gives a node that throws when asked its type, so every
// lookup goes through these.
bool Has(const YAML::Node& map, const std::string& key) {
    return map.IsMap() && map[key].IsDefined();
}
YAML::Node Get(const YAML::Node& map, const std::string& key) {
    return Has(map, key) ? map[key] : YAML::Node();
}

QString Where(const YAML::Exception& e) {
    return e.mark.is_null() ? QString() : QStringLiteral("line %1").arg(e.mark.line + 1);
}

// The scalar's text; false when the node is something else.
bool Scalar(const YAML::Node& n, QString& out) {
    if (n.IsNull()) {
        out.clear();
        return true;
    }
    if (!n.IsScalar()) return false;
    out = Str(n);
    return true;
}

QString Kind(const YAML::Node& var) {
    QString type;
    return var.IsMap() && Scalar(Get(var, "type"), type) ? type : QString();
}

// Choices: a list of strings, of {label, id} maps, or one block of lines.
QStringList Choices(const YAML::Node& values) {
    QStringList out;
    if (values.IsSequence()) {
        for (const YAML::Node& v : values) {
            QString s;
            if (v.IsMap() && Scalar(Get(v, "label"), s))
                out << s;
            else if (Scalar(v, s))
                out << s;
        }
    } else if (QString block; Scalar(values, block)) {
        for (const QString& line : block.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty()) out << line.trimmed();
    }
    return out;
}

const QSet<QString> kCarried = {"trigger", "triggers", "replace",  "form", "form_fields",
                                "vars",    "label",    "markdown", "html"};
// Options whose effect Brevix has always (whole words, case adapted to what
// was typed) or that only steer how espanso injects.
const QSet<QString> kNoEffect = {"word",         "propagate_case",  "uppercase_style",
                                 "search_terms", "force_clipboard", "force_mode",
                                 "comment"};

class TMatchReader {
public:
    TMatchReader(TImportBatch& batch, const QHash<QString, YAML::Node>& globals)
        : batch_(batch), globals_(globals) {}

    void Read(const YAML::Node& m, int index) {
        where_ = QStringLiteral("match %1 (line %2)").arg(index).arg(m.Mark().line + 1);
        if (!m.IsMap()) return batch_.Fault(where_, QStringLiteral("a match must be a mapping"));
        QStringList triggers;
        if (!Triggers(m, triggers)) return;
        for (auto it = m.begin(); it != m.end(); ++it) {
            QString key;
            if (!Scalar(it->first, key)) continue;
            if (!kCarried.contains(key) && !kNoEffect.contains(key))
                batch_.Loss(where_,
                            QStringLiteral("the option \"%1\" is not carried over").arg(key));
        }
        for (const YAML::Node& v : Get(m, "vars").IsSequence() ? Get(m, "vars") : YAML::Node())
            if (QString name; v.IsMap() && Scalar(Get(v, "name"), name)) vars_.insert(name, v);
        fieldDefs_ = Get(m, "form_fields");
        QString text;
        if (!Body(m, text)) return;
        QString label;
        Scalar(Get(m, "label"), label);
        for (const QString& t : triggers) {
            TCandidate c;
            c.where =
                triggers.size() > 1 ? where_ + QStringLiteral(", trigger \"%1\"").arg(t) : where_;
            c.keyword = t;
            c.description = label.simplified();
            c.text = text;
            batch_.Add(std::move(c));
        }
    }

private:
    bool Triggers(const YAML::Node& m, QStringList& out) {
        if (Has(m, "regex")) {
            batch_.Loss(where_, QStringLiteral("a regex trigger cannot be carried over; the "
                                               "match is left out"));
            return false;
        }
        QString one;
        if (Has(m, "trigger")) {
            if (!Scalar(Get(m, "trigger"), one) || one.isEmpty()) {
                batch_.Fault(where_, QStringLiteral("\"trigger\" must be a text"));
                return false;
            }
            out << one;
        }
        if (Has(m, "triggers")) {
            const YAML::Node list = Get(m, "triggers");
            if (!list.IsSequence()) {
                batch_.Fault(where_, QStringLiteral("\"triggers\" must be a list"));
                return false;
            }
            for (const YAML::Node& t : list) {
                if (!Scalar(t, one) || one.isEmpty()) {
                    batch_.Fault(where_, QStringLiteral("every trigger must be a text"));
                    return false;
                }
                out << one;
            }
        }
        if (out.isEmpty()) batch_.Fault(where_, QStringLiteral("the match has no trigger"));
        return !out.isEmpty();
    }

    bool Body(const YAML::Node& m, QString& text) {
        QString raw;
        if (Has(m, "image_path")) {
            batch_.Loss(where_, QStringLiteral("an image cannot be carried over; the match is "
                                               "left out"));
            return false;
        }
        if (Has(m, "form")) {
            if (!Scalar(Get(m, "form"), raw)) return Bad(QStringLiteral("\"form\" must be a text"));
            raw = FormLayout(raw);
            shorthand_ = true;
        } else {
            const char* key = Has(m, "replace")    ? "replace"
                              : Has(m, "markdown") ? "markdown"
                              : Has(m, "html")     ? "html"
                                                   : nullptr;
            if (!key) return Bad(QStringLiteral("the match has no \"replace\""));
            if (!Scalar(Get(m, key), raw))
                return Bad(QStringLiteral("\"%1\" must be a text").arg(key));
            if (qstrcmp(key, "replace") != 0)
                batch_.Loss(where_, QStringLiteral("%1 formatting is not carried over; the text is "
                                                   "imported as written")
                                        .arg(QLatin1String(key)));
        }
        QString problem;
        text = Expand(raw, problem);
        if (!problem.isEmpty()) return Bad(problem);
        if (text.contains(QStringLiteral("$|$"))) {
            text.remove(QStringLiteral("$|$"));
            batch_.Loss(where_, QStringLiteral("the cursor position $|$ is not carried over"));
        }
        text = WithCrLf(text);
        return true;
    }

    bool Bad(const QString& why) {
        batch_.Fault(where_, why);
        return false;
    }

    // The shorthand form: [[field]] marks a field, defined in form_fields.
    QString FormLayout(const QString& layout) {
        QString out;
        qsizetype pos = 0;
        while (pos < layout.size()) {
            const qsizetype open = layout.indexOf(QStringLiteral("[["), pos);
            const qsizetype close = open < 0 ? -1 : layout.indexOf(QStringLiteral("]]"), open + 2);
            if (close < 0) break;
            out += layout.mid(pos, open - pos);
            out += QStringLiteral("{{form1.") + layout.mid(open + 2, close - open - 2).trimmed() +
                   QStringLiteral("}}");
            pos = close + 2;
        }
        return out + layout.mid(pos);
    }

    // Replaces every {{...}} that can be carried over; leaves the others as
    // written and reports them.
    QString Expand(const QString& raw, QString& problem) {
        QString out;
        qsizetype pos = 0;
        while (pos < raw.size()) {
            const qsizetype open = raw.indexOf(QStringLiteral("{{"), pos);
            const qsizetype close = open < 0 ? -1 : raw.indexOf(QStringLiteral("}}"), open + 2);
            if (close < 0) break;
            out += raw.mid(pos, open - pos);
            const QString ref = raw.mid(open + 2, close - open - 2).trimmed();
            const QString literal = raw.mid(open, close + 2 - open);
            pos = close + 2;
            QString value;
            if (Variable(ref, value, problem))
                out += value;
            else if (!problem.isEmpty())
                return {};
            else
                out += literal;
        }
        return out + raw.mid(pos);
    }

    // The match's own variable of that name, else the file's global one.
    bool Find(const QString& name, YAML::Node& var) const {
        for (const QHash<QString, YAML::Node>* scope : {&vars_, &globals_}) {
            if (auto it = scope->constFind(name); it != scope->constEnd()) {
                var = *it;
                return true;
            }
        }
        return false;
    }

    // True with the value of a reference that can be carried over.
    bool Variable(const QString& ref, QString& value, QString& problem) {
        const qsizetype dot = ref.indexOf(QLatin1Char('.'));
        const QString name = dot < 0 ? ref : ref.left(dot);
        YAML::Node var;
        // The shorthand form is the variable form1 that espanso makes of it.
        bool found = Find(name, var);
        if (!found && shorthand_ && name == QLatin1String("form1")) {
            var = YAML::Load("{type: form}");
            found = true;
        }
        if (!found) {
            batch_.Loss(where_,
                        QStringLiteral("{{%1}} names no variable and is kept as written").arg(ref));
            return false;
        }
        const QString kind = Kind(var);
        TFieldSpec field;
        const YAML::Node params = Get(var, "params");
        if (kind == QLatin1String("echo") && dot < 0) {
            if (!params.IsMap() || !Scalar(Get(params, "echo"), value)) value.clear();
            return true;
        }
        if (kind == QLatin1String("form") && dot > 0) {
            field.name = ref.mid(dot + 1);
            // A shorthand form keeps its field definitions on the match.
            const YAML::Node defs = Has(params, "fields") ? Get(params, "fields") : fieldDefs_;
            Describe(defs.IsMap() ? Get(defs, field.name.toStdString()) : YAML::Node(), field);
        } else if ((kind == QLatin1String("choice") || kind == QLatin1String("list")) && dot < 0) {
            field.name = name;
            field.choices = params.IsMap() ? Choices(Get(params, "values")) : QStringList();
        } else {
            batch_.Loss(where_, QStringLiteral("the %1 variable {{%2}} cannot be carried over and "
                                               "is kept as written")
                                    .arg(kind.isEmpty() ? QStringLiteral("untyped") : kind, ref));
            return false;
        }
        field.prompt = Prompt(Get(params, "layout"), field.name);
        value = tags_.Field(field, &problem);
        return problem.isEmpty();
    }

    // What a form's layout writes before the field on its line ("Name: [[name]]"),
    // else the field's name.
    static QString Prompt(const YAML::Node& layout, const QString& name) {
        QString text;
        if (!Scalar(layout, text)) return name;
        const qsizetype at = text.indexOf(QStringLiteral("[[") + name + QStringLiteral("]]"));
        if (at < 0) return name;
        const qsizetype lineStart = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
        QString before = text.mid(lineStart, at - lineStart).trimmed();
        if (before.endsWith(QLatin1Char(':'))) before.chop(1);
        before = before.trimmed();
        const bool plain = !before.isEmpty() && !before.contains(QStringLiteral("[[")) &&
                           !before.contains(QLatin1Char('@')) &&
                           !before.contains(QLatin1Char('{')) && !before.contains(QLatin1Char('}'));
        return plain ? before : name;
    }

    void Describe(const YAML::Node& def, TFieldSpec& field) {
        if (!def.IsMap()) return;
        QString type;
        Scalar(Get(def, "type"), type);
        if (type == QLatin1String("choice") || type == QLatin1String("list"))
            field.choices = Choices(Get(def, "values"));
        QString flag;
        field.multiline = Scalar(Get(def, "multiline"), flag) && flag == QLatin1String("true");
        if (Has(def, "default"))
            batch_.Loss(where_, QStringLiteral("the default value of the field \"%1\" is not "
                                               "carried over")
                                    .arg(field.name));
    }

    TImportBatch& batch_;
    const QHash<QString, YAML::Node>& globals_;
    QHash<QString, YAML::Node> vars_;
    YAML::Node fieldDefs_;
    bool shorthand_ = false;
    TInputTags tags_;
    QString where_;
};

} // namespace

void ImportEspanso(const QByteArray& data, TImportBatch& batch) {
    QString text, problem;
    if (!InputFile::DecodeUtf8(data, text, problem)) return batch.Fatal(problem);
    YAML::Node loaded;
    try {
        loaded = YAML::Load(data.toStdString());
    } catch (const YAML::Exception& e) {
        return batch.Fatal(
            QStringLiteral("%1: not valid YAML (%2)").arg(Where(e), QString::fromStdString(e.msg)));
    }
    const YAML::Node& root = loaded;
    try {
        if (!Has(root, "matches"))
            return batch.Fatal(QStringLiteral("not an espanso match file: there is no \"matches\" "
                                              "list"));
        const YAML::Node matches = Get(root, "matches");
        if (!matches.IsSequence())
            return batch.Fatal(
                QStringLiteral("line %1: \"matches\" must be a list").arg(matches.Mark().line + 1));
        for (auto it = root.begin(); it != root.end(); ++it) {
            QString key;
            if (!Scalar(it->first, key) || key == QLatin1String("matches") ||
                key == QLatin1String("global_vars"))
                continue;
            if (key == QLatin1String("imports"))
                batch.Loss({}, QStringLiteral("imported files are not followed; import each of "
                                              "them on its own"));
            else
                batch.Loss({}, QStringLiteral("the section \"%1\" is not carried over").arg(key));
        }
        QHash<QString, YAML::Node> globals;
        if (Get(root, "global_vars").IsSequence())
            for (const YAML::Node& v : Get(root, "global_vars"))
                if (QString name; v.IsMap() && Scalar(Get(v, "name"), name))
                    globals.insert(name, v);
        int index = 0;
        for (const YAML::Node& m : matches) {
            ++index;
            try {
                TMatchReader(batch, globals).Read(m, index);
            } catch (const YAML::Exception& e) {
                batch.Fault(QStringLiteral("match %1 (line %2)").arg(index).arg(m.Mark().line + 1),
                            QString::fromStdString(e.msg));
            }
        }
    } catch (const YAML::Exception& e) {
        batch.Fatal(QStringLiteral("%1: %2").arg(Where(e), QString::fromStdString(e.msg)));
    }
}

} // namespace Formats
