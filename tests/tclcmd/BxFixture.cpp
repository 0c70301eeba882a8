#include "BxFixture.h"

#include "dictionary/Dict.h"
#include "script/TclInterface.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>

void MakeDictionary(const QString& path, const QList<TEntrySpec>& entries, bool readOnly) {
    TDictionaryList list;
    for (const TEntrySpec& e : entries) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(e.Keyword);
        item->SetText(e.Text);
        item->SetDescription(e.Description);
        item->SetShortcut(e.Shortcut);
        item->SetFlags(e.Flags);
        if (list.Add(item) < 0) delete item;
    }
    list.SetReadOnly(readOnly);
    DictFile::Save(path, list);
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

bool SpinUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void BxFixture::SetUp() {
    ASSERT_TRUE(Dir.isValid());
    Answer = QMessageBox::Yes;
    WriteFile(P("Brevixo.ini"), "[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\n"
                                "AutoSave1=0\r\n");
    // An empty start-up script: a missing one would raise a warning box.
    WriteFile(P("Brevixo.tcl"), "");
    MakeDictionary(P("one.bxd"), {{"addr", "12 Harbour Street", "Address", 0, 0},
                                  {"brb", "be right back", "", 0, 0},
                                  {"btw", "by the way", "", 0, 0}});
}

void BxFixture::TearDown() {
    if (Form) Form->close();
    Form.reset();
}

void BxFixture::Start(const QString& open) {
    Form = std::make_unique<TMainForm>(
        QStringList{QStringLiteral("/CFG=") + Dir.path()}, nullptr, [this](TMainForm* m) {
            m->AskFileName = [this](TMainForm::TFileDialogKind, const QString&, const QString&) {
                return NextFile;
            };
            m->AskYesNoCancel = [this](const QString& msg) {
                Asked << msg;
                return Answer;
            };
            m->ShowError = [this](const QString& msg) { Errors << msg; };
        });
    ASSERT_TRUE(Form->Tcl && Form->Tcl->IsLoaded()) << "the Tcl library must be installed";
    if (!open.isEmpty()) {
        ASSERT_TRUE(Form->OpenDictionary(open));
    }
}

BxFixture::TReply BxFixture::Run(const QByteArray& script) {
    const bool ok = Form->Tcl->Eval(script);
    return {ok, Form->Tcl->GetResult()};
}

QByteArray BxFixture::Ok(const QByteArray& script) {
    const TReply r = Run(script);
    EXPECT_TRUE(r.Ok) << script.constData() << " failed: " << r.Text.constData();
    return r.Text;
}

QByteArray BxFixture::Fails(const QByteArray& script) {
    const TReply r = Run(script);
    EXPECT_FALSE(r.Ok) << script.constData() << " succeeded: " << r.Text.constData();
    return r.Text;
}
