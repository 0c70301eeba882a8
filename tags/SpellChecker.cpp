#include "tags/SpellChecker.h"

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QStringDecoder>
#include <hunspell/hunspell.hxx>
#include <iconv.h>

#include <cerrno>
#include <vector>

const QString TSpellChecker::PersonalListName = QStringLiteral("SpellWords.txt");

namespace {
const QString kFallbackLanguage = QStringLiteral("en_US");
constexpr qint64 kMaxPersonalListBytes = 4 * 1024 * 1024;

// The tag words the entry editor writes; accepted in any letter case.
const QSet<QString>& TagWords() {
    static const QSet<QString> words = {
        QStringLiteral("INPUTDATE"),  QStringLiteral("REM"),        QStringLiteral("SHORTDATE"),
        QStringLiteral("LONGDATE"),   QStringLiteral("SHORTTIME"),  QStringLiteral("LONGTIME"),
        QStringLiteral("INPUTFILE"),  QStringLiteral("LEFTBRACE"),  QStringLiteral("RIGHTBRACE"),
        QStringLiteral("DELETELINE"), QStringLiteral("INPUTTCL"),   QStringLiteral("INPUTMSG"),
        QStringLiteral("SEP"),        QStringLiteral("AUTONUMBER"), QStringLiteral("NOSPACE")};
    return words;
}

bool IsApostrophe(QChar c) {
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}
bool IsLetter(QChar c) {
    return c.isLetter() || c.isMark();
}

// The outermost "{...}" of a text, with braces nesting as the tag parser
// sees them; a "{" without its "}" is plain text. One pass.
QList<TTextSpan> TagSpans(QStringView text) {
    QList<TTextSpan> spans;
    std::vector<qsizetype> open;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('{')) {
            open.push_back(i);
        } else if (text[i] == QLatin1Char('}') && !open.empty()) {
            const qsizetype start = open.back();
            open.pop_back();
            // Inner pairs were added before their enclosing one: drop them.
            while (!spans.isEmpty() && spans.last().Start > start)
                spans.removeLast();
            spans.append({start, i + 1 - start});
        }
    }
    return spans;
}

// A chunk between blanks that is an address rather than words.
bool LooksLikeAddress(QStringView chunk) {
    return chunk.contains(u"://") || chunk.contains(QLatin1Char('@')) ||
           chunk.startsWith(u"www.", Qt::CaseInsensitive);
}

template <typename Visit> void ForEachWord(QStringView text, qsizetype from, Visit visit) {
    const QList<TTextSpan> tags = TagSpans(text);
    qsizetype tag = 0;
    qsizetype i = std::max<qsizetype>(from, 0);
    // A word cut by `from` is not a word of its own.
    while (i > 0 && i < text.size() && (IsLetter(text[i - 1]) || text[i - 1].isDigit()) &&
           (IsLetter(text[i]) || text[i].isDigit()))
        ++i;
    while (i < text.size()) {
        while (tag < tags.size() && tags[tag].End() <= i)
            ++tag;
        if (tag < tags.size() && tags[tag].Start <= i) {
            i = tags[tag].End();
            continue;
        }
        const QChar c = text[i];
        if (c.isSpace() || !(IsLetter(c) || c.isDigit() || c == QLatin1Char('_'))) {
            ++i;
            continue;
        }
        // The run of word characters (apostrophes only between letters),
        // stopping at the next tag.
        const qsizetype limit = tag < tags.size() ? tags[tag].Start : text.size();
        qsizetype end = i;
        bool plain = true;
        while (end < limit) {
            const QChar e = text[end];
            if (IsLetter(e)) {
            } else if (e.isDigit() || e == QLatin1Char('_')) {
                plain = false;
            } else if (IsApostrophe(e) && end + 1 < limit && IsLetter(text[end + 1]) && end > i) {
            } else {
                break;
            }
            ++end;
        }
        // The blank-delimited chunk around it, without neighbouring tags.
        const qsizetype floor = tag > 0 ? tags[tag - 1].End() : 0;
        qsizetype chunkStart = i, chunkEnd = end;
        while (chunkStart > floor && !text[chunkStart - 1].isSpace())
            --chunkStart;
        while (chunkEnd < limit && !text[chunkEnd].isSpace())
            ++chunkEnd;
        if (plain && end - i <= TSpellChecker::MaxWordLength &&
            !LooksLikeAddress(text.mid(chunkStart, chunkEnd - chunkStart))) {
            if (!visit(TTextSpan{i, end - i})) return;
        }
        i = end;
    }
}
} // namespace

// Words to and from the dictionary's own character set.
class TDictionaryCodec {
public:
    explicit TDictionaryCodec(const std::string& encoding) {
        const QString name = QString::fromStdString(encoding).toUpper().remove(QLatin1Char('-'));
        if (name.isEmpty() || name == QLatin1String("UTF8")) {
            utf8_ = true;
        } else if (name == QLatin1String("ISO88591") || name == QLatin1String("LATIN1")) {
            latin1_ = true;
        } else {
            toDict_ = iconv_open(encoding.c_str(), "UTF-8");
            fromDict_ = iconv_open("UTF-8", encoding.c_str());
        }
    }
    ~TDictionaryCodec() {
        if (toDict_ != reinterpret_cast<iconv_t>(-1)) iconv_close(toDict_);
        if (fromDict_ != reinterpret_cast<iconv_t>(-1)) iconv_close(fromDict_);
    }
    TDictionaryCodec(const TDictionaryCodec&) = delete;
    TDictionaryCodec& operator=(const TDictionaryCodec&) = delete;

    bool Usable() const {
        return utf8_ || latin1_ ||
               (toDict_ != reinterpret_cast<iconv_t>(-1) &&
                fromDict_ != reinterpret_cast<iconv_t>(-1));
    }

    // Empty when the word has characters the dictionary cannot hold.
    std::optional<std::string> Encode(const QString& word) const {
        if (utf8_) return word.toStdString();
        if (latin1_) {
            for (QChar c : word)
                if (c.unicode() > 0xFF) return std::nullopt;
            const QByteArray bytes = word.toLatin1();
            return std::string(bytes.constData(), bytes.size());
        }
        return Convert(toDict_, word.toUtf8());
    }
    QString Decode(const std::string& text) const {
        if (utf8_) return QString::fromStdString(text);
        if (latin1_) return QString::fromLatin1(text.data(), qsizetype(text.size()));
        const auto utf8 = Convert(fromDict_, QByteArray::fromStdString(text));
        return utf8 ? QString::fromStdString(*utf8) : QString();
    }

private:
    static std::optional<std::string> Convert(iconv_t cd, const QByteArray& in) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(size_t(in.size()) * 4 + 8, '\0');
        char* src = const_cast<char*>(in.constData());
        size_t srcLeft = size_t(in.size());
        char* dst = out.data();
        size_t dstLeft = out.size();
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) return std::nullopt;
        out.resize(out.size() - dstLeft);
        return out;
    }

    bool utf8_ = false;
    bool latin1_ = false;
    iconv_t toDict_ = reinterpret_cast<iconv_t>(-1);
    iconv_t fromDict_ = reinterpret_cast<iconv_t>(-1);
};

namespace {
struct TDictionaryFiles {
    QString language, aff, dic;
};

std::optional<TDictionaryFiles> FindDictionary(const QString& language, const QStringList& dirs) {
    if (language.isEmpty()) return std::nullopt;
    for (const QString& dir : dirs) {
        const QString base = QDir(dir).filePath(language);
        if (QFileInfo(base + QStringLiteral(".dic")).isFile() &&
            QFileInfo(base + QStringLiteral(".aff")).isFile())
            return TDictionaryFiles{language, base + QStringLiteral(".aff"),
                                    base + QStringLiteral(".dic")};
    }
    return std::nullopt;
}

QString LanguageForLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C) return kFallbackLanguage;
    return locale.name();
}

struct TSharedSetup {
    QString folder;
    QString language;
    std::unique_ptr<TSpellChecker> checker;
};
TSharedSetup& SharedSetup() {
    static TSharedSetup setup;
    return setup;
}
} // namespace

QStringList TSpellChecker::DefaultDictionaryDirs() {
    QStringList dirs;
    for (const QString& dir : qEnvironmentVariable("DICPATH").split(QLatin1Char(':')))
        if (!dir.isEmpty()) dirs << dir;
    dirs << QDir::homePath() + QStringLiteral("/.local/share/hunspell")
         << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell")
         << QStringLiteral("/usr/share/myspell/dicts");
    return dirs;
}

QStringList TSpellChecker::InstalledLanguages(const QStringList& dictionaryDirs) {
    QStringList found;
    for (const QString& dir : dictionaryDirs.isEmpty() ? DefaultDictionaryDirs() : dictionaryDirs)
        for (const QFileInfo& info :
             QDir(dir).entryInfoList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name)) {
            const QString name = info.completeBaseName();
            if (!found.contains(name) &&
                QFileInfo(info.dir().filePath(name + QStringLiteral(".aff"))).isFile())
                found << name;
        }
    found.sort();
    return found;
}

TSpellChecker::TSpellChecker(const QString& language, const QStringList& dictionaryDirs) {
    const QStringList dirs = dictionaryDirs.isEmpty() ? DefaultDictionaryDirs() : dictionaryDirs;
    const QString wanted = language.isEmpty() ? LanguageForLocale(QLocale::system()) : language;
    std::optional<TDictionaryFiles> files = FindDictionary(wanted, dirs);
    if (!files) {
        // "de" or "de_AT" without its own files: another country's dictionary of the language.
        const QString prefix = wanted.section(QLatin1Char('_'), 0, 0) + QLatin1Char('_');
        for (const QString& installed : InstalledLanguages(dirs))
            if (installed.startsWith(prefix)) {
                files = FindDictionary(installed, dirs);
                break;
            }
    }
    if (!files) files = FindDictionary(kFallbackLanguage, dirs);
    if (!files) {
        unavailableReason_ =
            QStringLiteral("No spelling dictionary is installed for \"%1\" or for \"%2\".\n"
                           "Install a Hunspell dictionary (for English, the package "
                           "hunspell-en-us) and try again.")
                .arg(wanted, kFallbackLanguage);
        return;
    }
    auto hunspell = std::make_unique<Hunspell>(QFile::encodeName(files->aff).constData(),
                                               QFile::encodeName(files->dic).constData());
    auto codec = std::make_unique<TDictionaryCodec>(hunspell->get_dict_encoding());
    if (!codec->Usable()) {
        unavailableReason_ =
            QStringLiteral("The spelling dictionary \"%1\" uses the character set \"%2\", "
                           "which this system cannot convert.")
                .arg(files->dic, QString::fromStdString(hunspell->get_dict_encoding()));
        return;
    }
    hunspell_ = std::move(hunspell);
    codec_ = std::move(codec);
    language_ = files->language;
}

TSpellChecker::~TSpellChecker() = default;

// A word as the user wrote it, also accepted capitalised or in capitals at
// the start of a sentence or in a heading ("brevix": "Brevix", "BREVIX").
void TSpellChecker::TWordSet::Insert(const QString& word) {
    exact_.insert(word);
    upper_.insert(word.toUpper());
    title_.insert(word.left(1).toUpper() + word.mid(1));
}
bool TSpellChecker::TWordSet::Contains(const QString& word) const {
    return exact_.contains(word) || title_.contains(word) ||
           (word == word.toUpper() && upper_.contains(word));
}
void TSpellChecker::TWordSet::Clear() {
    exact_.clear();
    upper_.clear();
    title_.clear();
}

bool TSpellChecker::Known(const QString& word) const {
    if (ignored_.Contains(word) || personal_.Contains(word)) return true;
    if (TagWords().contains(word.toUpper())) return true;
    const auto encoded = codec_->Encode(word);
    // A word in letters the dictionary cannot hold is not its to judge.
    if (!encoded) return true;
    return hunspell_->spell(*encoded);
}

bool TSpellChecker::IsCorrect(const QString& word) const {
    if (!Available() || word.isEmpty()) return true;
    return Known(word);
}

QStringList TSpellChecker::Suggestions(const QString& word) const {
    QStringList result;
    if (!Available()) return result;
    const auto encoded = codec_->Encode(word);
    if (!encoded) return result;
    for (const std::string& s : hunspell_->suggest(*encoded)) {
        const QString decoded = codec_->Decode(s);
        if (!decoded.isEmpty() && !result.contains(decoded)) result << decoded;
    }
    return result;
}

std::optional<TTextSpan> TSpellChecker::NextMisspelt(QStringView text, qsizetype from) const {
    std::optional<TTextSpan> found;
    if (!Available()) return found;
    ForEachWord(text, from, [&](TTextSpan span) {
        if (Known(text.mid(span.Start, span.Length).toString())) return true;
        found = span;
        return false;
    });
    return found;
}

void TSpellChecker::IgnoreAll(const QString& word) {
    if (word.isEmpty()) return;
    ignored_.Insert(word);
}

TSpellChecker::TPersonalList TSpellChecker::ReadPersonalList(const QString& folder) {
    TPersonalList list;
    list.Path = QDir(folder).filePath(PersonalListName);
    if (!QFileInfo::exists(list.Path)) return list;

    QFile file;
    QString error;
    if (!SafeFile::OpenForReading(list.Path, file, &error)) {
        list.Problem = QStringLiteral("The personal word list \"%1\" could not be read: %2")
                           .arg(QDir::toNativeSeparators(list.Path), error);
        return list;
    }
    const QByteArray data = file.read(kMaxPersonalListBytes);
    const bool cut = !file.atEnd();
    QSet<QString> seen;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.trimmed().isEmpty()) continue;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString word = QString(decoder(line)).trimmed();
        const bool clean = !decoder.hasError() && !word.isEmpty() && word.size() <= MaxWordLength &&
                           std::none_of(word.begin(), word.end(), [](QChar c) {
                               return c.isSpace() || c.category() == QChar::Other_Control;
                           });
        if (!clean) {
            list.Unreadable << line;
        } else if (!seen.contains(word)) {
            seen.insert(word);
            list.Words << word;
        }
    }
    QStringList problems;
    if (!list.Unreadable.isEmpty())
        problems << QStringLiteral("%1 line(s) could not be read as words and were left out.")
                        .arg(list.Unreadable.size());
    if (cut)
        problems << QStringLiteral("The file is larger than %1 MB; only its beginning was read.")
                        .arg(kMaxPersonalListBytes / (1024 * 1024));
    if (!problems.isEmpty())
        list.Problem =
            QStringLiteral("The personal word list \"%1\" is damaged.\n%2")
                .arg(QDir::toNativeSeparators(list.Path), problems.join(QLatin1Char('\n')));
    return list;
}

QString TSpellChecker::LoadPersonalList(const QString& folder) {
    TPersonalList list = ReadPersonalList(folder);
    personal_.Clear();
    for (const QString& word : list.Words)
        personal_.Insert(word);
    personalWords_ = std::move(list.Words);
    unreadableLines_ = std::move(list.Unreadable);
    personalPath_ = list.Path;
    return list.Problem;
}

bool TSpellChecker::SavePersonalList(QString* error) {
    if (personalPath_.isEmpty()) {
        if (error) *error = QStringLiteral("No folder is set for the personal word list.");
        return false;
    }
    QByteArray data;
    for (const QString& word : personalWords_)
        data += word.toUtf8() + '\n';
    // Lines that could not be read stay in the file for the user to mend.
    for (const QByteArray& line : unreadableLines_)
        data += line + '\n';
    QDir().mkpath(QFileInfo(personalPath_).absolutePath());
    QString why;
    if (SafeFile::Write(personalPath_, data, &why)) return true;
    if (error)
        *error = QStringLiteral("The personal word list \"%1\" could not be saved: %2")
                     .arg(QDir::toNativeSeparators(personalPath_), why);
    return false;
}

bool TSpellChecker::AddToPersonalList(const QString& word, QString* error) {
    const QString w = word.trimmed();
    if (w.isEmpty() || personal_.ContainsExactly(w)) return true;
    personal_.Insert(w);
    personalWords_ << w;
    return SavePersonalList(error);
}

bool TSpellChecker::SetPersonalWords(const QStringList& words, QString* error) {
    personal_.Clear();
    personalWords_.clear();
    for (const QString& word : words) {
        const QString w = word.trimmed();
        if (w.isEmpty() || w.size() > MaxWordLength || personal_.ContainsExactly(w)) continue;
        personal_.Insert(w);
        personalWords_ << w;
    }
    return SavePersonalList(error);
}

void TSpellChecker::ConfigureShared(const QString& configFolder, const QString& language) {
    TSharedSetup& setup = SharedSetup();
    if (setup.checker && setup.folder == configFolder && setup.language == language) return;
    setup.folder = configFolder;
    setup.language = language;
    setup.checker.reset();
}

TSpellChecker& TSpellChecker::Shared() {
    TSharedSetup& setup = SharedSetup();
    if (!setup.checker) {
        setup.checker = std::make_unique<TSpellChecker>(setup.language);
        QString folder = setup.folder;
        if (folder.isEmpty()) {
            folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
            if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.config");
            folder += QStringLiteral("/brevix");
        }
        setup.checker->loadProblem_ = setup.checker->LoadPersonalList(folder);
    }
    return *setup.checker;
}

QList<TTextSpan> CheckedWords(QStringView text) {
    QList<TTextSpan> words;
    ForEachWord(text, 0, [&](TTextSpan span) {
        words << span;
        return true;
    });
    return words;
}

QList<TTextSpan> WholeWordOccurrences(QStringView text, const QString& word, qsizetype from) {
    QList<TTextSpan> found;
    ForEachWord(text, from, [&](TTextSpan span) {
        if (text.mid(span.Start, span.Length) == word) found << span;
        return true;
    });
    return found;
}
