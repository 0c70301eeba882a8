#pragma once
// What every test of our windows starts from: Qt without a display, the
// virtual desktop as the hook backend, and a private place for the hook's
// per-user lock. Construct before the QApplication.
#include "dictionary/Dict.h"
#include "shell/Mainfrm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtGlobal>
#include <functional>
#include <memory>

struct TOffscreenDesktop {
    QTemporaryDir runtime;
    TOffscreenDesktop() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("BREVIX_HOOK", "virtual");
        qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    }
};

struct TEntrySpec {
    TEntrySpec(const char* keyword, const char* text, const char* description = "",
               uint16_t shortcut = 0)
        : Keyword(keyword), Text(text), Description(description), Shortcut(shortcut) {}
    QByteArray Keyword, Text, Description;
    uint16_t Shortcut;
};

inline void MakeDictionary(const QString& path, const QList<TEntrySpec>& entries) {
    TDictionaryList list;
    for (const TEntrySpec& e : entries) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(e.Keyword);
        item->SetText(e.Text);
        item->SetDescription(e.Description);
        item->SetShortcut(e.Shortcut);
        if (list.Add(item) < 0) delete item;
    }
    DictFile::Save(path, list);
}

inline int EntryCount(const QString& path) {
    TDictionaryList list;
    DictFile::Load(path, list);
    return list.Count();
}

inline bool WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the event loop until done(); false after 10 s (a hang guard, not a timing check).
inline bool SpinUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Main windows on a temporary configuration folder whose file dialogs,
// questions and error boxes are answered by the test and recorded.
struct TFormHarness {
    static constexpr char QuietIni[] = "[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\n";

    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Form;
    QStringList Errors, Asked;
    int Answer = QMessageBox::Yes;
    QString NextFile;

    QString P(const QString& name) const { return Dir.filePath(name); }

    // An empty folder and default answers.
    void Reset() {
        for (const QString& f : QDir(Dir.path()).entryList(QDir::Files))
            QFile::remove(P(f));
        Errors.clear();
        Asked.clear();
        Answer = QMessageBox::Yes;
        NextFile.clear();
    }
    std::unique_ptr<TMainForm> NewForm(const QStringList& moreParams = {}) {
        return std::make_unique<TMainForm>(
            QStringList{QStringLiteral("/CFG=") + Dir.path()} + moreParams, nullptr,
            [this](TMainForm* m) {
                m->AskFileName = [this](TMainForm::TFileDialogKind, const QString&,
                                        const QString&) { return NextFile; };
                m->AskYesNoCancel = [this](const QString& msg) {
                    Asked << msg;
                    return Answer;
                };
                m->ShowError = [this](const QString& msg) { Errors << msg; };
            });
    }
    void Start(const QByteArray& ini = QuietIni) {
        WriteFile(P(QStringLiteral("Brevixo.ini")), ini);
        Form = NewForm();
    }
    void Stop() {
        if (Form) Form->close();
        Form.reset();
    }
};

// The main window shown with its settings in cfgDir (the program's own start,
// no file dialogs), as a user who runs it sees it.
inline std::unique_ptr<TMainForm> StartShownForm(const QString& cfgDir) {
    QFile ini(QDir(cfgDir).filePath(QStringLiteral("Brevixo.ini")));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ini.write("[Preferences]\r\nRunMinimized=0\r\nNoConfirmExit=1\r\n");
    ini.close();
    auto form = std::make_unique<TMainForm>(
        QStringList{QStringLiteral("/CFG=") + cfgDir}, nullptr, [](TMainForm* m) {
            m->AskFileName = [](TMainForm::TFileDialogKind, const QString&, const QString&) {
                return QString();
            };
        });
    form->show();
    return form;
}
