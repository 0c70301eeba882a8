// The converter window driven as a user would, offscreen.
#include "tools/bxconvert/ConverterForm.h"
#include "tools/bxdict/Bxdict.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray Dump(const QString& dict) {
    QByteArray in, out, err;
    QBuffer i(&in), o(&out), e(&err);
    i.open(QIODevice::ReadOnly);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    Bxdict::Run({"dump", dict}, i, o, e);
    return out;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return f.fileName();
}

// Answers the next message box with button, once it is up.
void AnswerNextBox(QMessageBox::StandardButton button, int tries = 200) {
    QTimer::singleShot(10, [button, tries] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(button)->click();
        else if (tries > 0)
            AnswerNextBox(button, tries - 1);
    });
}

// Shows the window's pages as pictures when BREVIX_SCREENS names a folder.
void Grab(TConverterForm& form, const char* name) {
    const QByteArray dir = qgetenv("BREVIX_SCREENS");
    if (!dir.isEmpty()) form.grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

} // namespace

TEST(ConverterForm, ImportsReportsAndExports) {
    QTemporaryDir dir;
    TConverterForm form;
    form.show();
    Grab(form, "converter-import");
    form.ImportFormatBox->setCurrentIndex(static_cast<int>(TImportFormat::Csv));
    form.ImportInputEdit->setText(Write(dir, "in.csv", "hi,Hello\n,blank\n"));
    form.ImportDictEdit->setText(dir.filePath("new.bxd"));
    AnswerNextBox(QMessageBox::Ok);
    form.ImportBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().contains("line 2: The keyword is blank."));
    EXPECT_TRUE(form.ReportMemo->toPlainText().contains("nothing was written"));
    EXPECT_FALSE(QFile::exists(dir.filePath("new.bxd")));

    form.SkipBadChk->setChecked(true);
    AnswerNextBox(QMessageBox::Ok); // skipped items are told in a box as well
    form.ImportBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().contains("Skipped:"));
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_TRUE(Dump(dir.filePath("new.bxd")).contains("\"keyword\":\"hi\""));
    Grab(form, "converter-report");

    form.Tabs->setCurrentIndex(1);
    EXPECT_TRUE(form.ExportBtn->isDefault());
    form.ExportDictEdit->setText(dir.filePath("new.bxd"));
    form.ExportFormatBox->setCurrentIndex(static_cast<int>(TExportFormat::JsonLines));
    EXPECT_EQ(form.ExportOutputEdit->text(), dir.filePath("new.jsonl"));
    form.ExportBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().contains("1 entries exported"));
    QFile out(dir.filePath("new.jsonl"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(), Dump(dir.filePath("new.bxd")).toStdString());
    Grab(form, "converter-export");
}

TEST(ConverterForm, AsksBeforeReplacingAndForMissingNames) {
    QTemporaryDir dir;
    TConverterForm form;
    form.show();
    form.Tabs->setCurrentIndex(2);
    Grab(form, "converter-upgrade");
    AnswerNextBox(QMessageBox::Ok);
    form.UpgradeBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().isEmpty());
    // An existing output is replaced only on Yes.
    form.UpgradeInputEdit->setText(Write(dir, "old.bxd", "not a dictionary"));
    EXPECT_EQ(form.UpgradeOutputEdit->text(), dir.filePath("old-7.bxd"));
    Write(dir, "old-7.bxd", "precious");
    AnswerNextBox(QMessageBox::No);
    form.UpgradeBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().isEmpty());
    form.UpgradeOutputEdit->setText(dir.filePath("fresh.bxd"));
    AnswerNextBox(QMessageBox::Ok);
    form.UpgradeBtn->click();
    EXPECT_TRUE(form.ReportMemo->toPlainText().contains("Unrecognized file header"));
    EXPECT_FALSE(QFile::exists(dir.filePath("fresh.bxd")));
}

int main(int argc, char** argv) {
    // Listing the tests runs this too, without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
