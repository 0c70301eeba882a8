#pragma once
// What an importer read from another program's files, before it meets a
// dictionary: the entries it found (Unicode, texts already in our tag
// language), the items it refused, and what it could not carry over.
#include <QList>
#include <QSet>
#include <QString>
#include <cstdint>

class TDictionaryList;

// One remark about the input, tied to the place it concerns ("line 4",
// "match 2 (line 7)", "Phrases/adr.txt").
struct TConvertNote {
    QString where;
    QString message;
    QString Text() const {
        return where.isEmpty() ? message : where + QStringLiteral(": ") + message;
    }
};

struct TCandidate {
    QString where;
    QString keyword;
    QString description;
    QString text;
    uint16_t shortcut = 0;
    uint16_t flags = 0;
};

class TImportBatch {
public:
    void Add(TCandidate candidate) { candidates.append(std::move(candidate)); }
    void Fault(const QString& where, const QString& message) { faults.append({where, message}); }
    // A loss is told once per place, however often the item repeats it.
    void Loss(const QString& where, const QString& message) {
        if (!told_.contains(where + QLatin1Char('\n') + message)) {
            told_.insert(where + QLatin1Char('\n') + message);
            losses.append({where, message});
        }
    }
    // The input as a whole cannot be read (not the format it claims to be).
    void Fatal(const QString& message) { fatal = message; }

    QList<TCandidate> candidates;
    // Items refused: the import stops on them unless bad items are skipped.
    QList<TConvertNote> faults;
    // Parts of items that were carried over only in part, or not at all
    // because Brevix has nothing like them; never refused, always reported.
    QList<TConvertNote> losses;
    QString fatal;

private:
    QSet<QString> told_;
};

// Checks every candidate against the rules a dictionary entry follows
// (Windows-1252, keyword blank or too long, field sizes, duplicates within
// the input and with the dictionary's own entries) and adds the faults to
// the batch. Then, when there are no faults or skipBad is set, adds the
// accepted entries to the list. Returns the number added (0 when refused).
int ApplyImport(TImportBatch& batch, TDictionaryList& list, bool skipBad);

// Line breaks as dictionaries keep them: every lone LF becomes CR LF; CR LF
// and a lone CR stay.
QString WithCrLf(const QString& text);
// Line breaks as other programs write them: CR LF becomes LF.
QString WithLf(const QString& text);
