#include "tools/bxconvert/ConverterForm.h"

#include "platform/BuddyLabel.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const kCaption = "Brevix File Converter";
const char* const kDictFilter = "Brevix Dictionary (*.bxd);;All Files (*)";

struct TFormatChoice {
    const char* label;
    const char* filter;
};
// In the order of TImportFormat.
const TFormatChoice kImports[] = {
    {"espanso match file (YAML)", "espanso Match File (*.yml *.yaml);;All Files (*)"},
    {"AutoKey phrase folder", ""},
    {"Beeftext combo file (JSON)", "Beeftext Combos (*.json);;All Files (*)"},
    {"CSV: keyword, text, description", "CSV File (*.csv);;All Files (*)"},
    {"JSON Lines (bxdict dump)", "JSON Lines (*.jsonl *.json);;All Files (*)"}};
// In the order of TExportFormat.
const TFormatChoice kExports[] = {
    {"espanso match file (YAML)", "espanso Match File (*.yml);;All Files (*)"},
    {"CSV: keyword, text, description", "CSV File (*.csv);;All Files (*)"},
    {"JSON Lines (bxdict dump)", "JSON Lines (*.jsonl);;All Files (*)"}};
const char* const kExportSuffix[] = {"yml", "csv", "jsonl"};

// A line edit with its Browse button, as one row of a form.
QWidget* PathRow(QWidget* parent, QLineEdit*& edit, QPushButton*& button, const QString& name,
                 const QString& buttonText) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    edit = new QLineEdit(row);
    edit->setObjectName(name + QStringLiteral("Edit"));
    edit->setMinimumWidth(360);
    edit->setClearButtonEnabled(true);
    button = new QPushButton(buttonText, row);
    button->setObjectName(name + QStringLiteral("Btn"));
    button->setAutoDefault(false);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return row;
}

// A page's command button at the right, at its natural width.
QWidget* RightAligned(QPushButton* button) {
    auto* row = new QWidget(button->parentWidget());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    button->setParent(row);
    button->setMinimumWidth(110);
    layout->addWidget(button);
    return row;
}

} // namespace

TConverterForm::TConverterForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConverterForm"));
    setWindowTitle(tr(kCaption));
    auto* outer = new QVBoxLayout(this);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    Tabs->addTab(BuildImportPage(), tr("&Import"));
    Tabs->addTab(BuildExportPage(), tr("&Export"));
    Tabs->addTab(BuildUpgradePage(), tr("&Old Dictionary"));
    outer->addWidget(Tabs);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    outer->addWidget(ProgressBar1);
    ReportMemo = new QPlainTextEdit(this);
    ReportMemo->setObjectName(QStringLiteral("ReportMemo"));
    ReportMemo->setReadOnly(true);
    ReportMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ReportMemo->setPlaceholderText(
        tr("What was converted, and what could not be carried over, is reported here."));
    ReportMemo->setMinimumHeight(160);
    outer->addWidget(BuddyLabel(tr("&Report:"), ReportMemo, this));
    outer->addWidget(ReportMemo, 1);

    auto* buttons = new QDialogButtonBox(this);
    CloseBtn = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);

    connect(Tabs, &QTabWidget::currentChanged, this, &TConverterForm::TabsCurrentChanged);
    TabsCurrentChanged(0);
    resize(640, 480);
}

QWidget* TConverterForm::BuildImportPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    ImportFormatBox = new QComboBox(page);
    ImportFormatBox->setObjectName(QStringLiteral("ImportFormatBox"));
    for (const TFormatChoice& f : kImports)
        ImportFormatBox->addItem(tr(f.label));
    form->addRow(BuddyLabel(tr("&Format:"), ImportFormatBox, page), ImportFormatBox);
    QWidget* input = PathRow(page, ImportInputEdit, ImportInputBtn, QStringLiteral("ImportInput"),
                             tr("&Browse..."));
    form->addRow(BuddyLabel(tr("Read &from:"), ImportInputEdit, page), input);
    QWidget* dict = PathRow(page, ImportDictEdit, ImportDictBtn, QStringLiteral("ImportDict"),
                            tr("Bro&wse..."));
    form->addRow(BuddyLabel(tr("&Dictionary:"), ImportDictEdit, page), dict);
    auto* note = new QLabel(tr("A new dictionary is created; an existing one is extended and "
                               "keeps all its entries (the old file stays as its backup)."),
                            page);
    note->setWordWrap(true);
    form->addRow(QString(), note);
    SkipBadChk = new QCheckBox(tr("&Skip items at fault and import the rest"), page);
    SkipBadChk->setObjectName(QStringLiteral("SkipBadChk"));
    form->addRow(QString(), SkipBadChk);
    ImportBtn = new QPushButton(tr("I&mport"), page);
    ImportBtn->setObjectName(QStringLiteral("ImportBtn"));
    form->addRow(QString(), RightAligned(ImportBtn));
    connect(ImportInputBtn, &QPushButton::clicked, this, &TConverterForm::ImportInputBtnClick);
    connect(ImportDictBtn, &QPushButton::clicked, this, [this] {
        Browse(ImportDictEdit, tr("Dictionary to Import Into"), QLatin1String(kDictFilter), true);
    });
    connect(ImportBtn, &QPushButton::clicked, this, &TConverterForm::ImportBtnClick);
    return page;
}

QWidget* TConverterForm::BuildExportPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    QWidget* dict = PathRow(page, ExportDictEdit, ExportDictBtn, QStringLiteral("ExportDict"),
                            tr("&Browse..."));
    form->addRow(BuddyLabel(tr("&Dictionary:"), ExportDictEdit, page), dict);
    ExportFormatBox = new QComboBox(page);
    ExportFormatBox->setObjectName(QStringLiteral("ExportFormatBox"));
    for (const TFormatChoice& f : kExports)
        ExportFormatBox->addItem(tr(f.label));
    form->addRow(BuddyLabel(tr("&Format:"), ExportFormatBox, page), ExportFormatBox);
    QWidget* output = PathRow(page, ExportOutputEdit, ExportOutputBtn,
                              QStringLiteral("ExportOutput"), tr("Bro&wse..."));
    form->addRow(BuddyLabel(tr("Write &to:"), ExportOutputEdit, page), output);
    ExportBtn = new QPushButton(tr("E&xport"), page);
    ExportBtn->setObjectName(QStringLiteral("ExportBtn"));
    form->addRow(QString(), RightAligned(ExportBtn));
    connect(ExportDictBtn, &QPushButton::clicked, this, [this] {
        Browse(ExportDictEdit, tr("Dictionary to Export"), QLatin1String(kDictFilter), false);
    });
    connect(ExportOutputBtn, &QPushButton::clicked, this, [this] {
        Browse(ExportOutputEdit, tr("Export To"),
               tr(kExports[ExportFormatBox->currentIndex()].filter), true);
    });
    // The output follows the dictionary and the format until the user names one.
    auto suggest = [this] {
        const QFileInfo dict(ExportDictEdit->text().trimmed());
        if (dict.fileName().isEmpty() || ExportOutputEdit->isModified()) return;
        ExportOutputEdit->setText(
            dict.dir().filePath(dict.completeBaseName() + QLatin1Char('.') +
                                QLatin1String(kExportSuffix[ExportFormatBox->currentIndex()])));
    };
    connect(ExportDictEdit, &QLineEdit::textChanged, this, suggest);
    connect(ExportFormatBox, &QComboBox::currentIndexChanged, this, suggest);
    connect(ExportBtn, &QPushButton::clicked, this, &TConverterForm::ExportBtnClick);
    return page;
}

QWidget* TConverterForm::BuildUpgradePage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto* note = new QLabel(tr("Dictionaries of versions 5 and 6 are read and written as version "
                               "7 under a new name; the old file is left as it is."),
                            page);
    note->setWordWrap(true);
    form->addRow(note);
    QWidget* input = PathRow(page, UpgradeInputEdit, UpgradeInputBtn,
                             QStringLiteral("UpgradeInput"), tr("&Browse..."));
    form->addRow(BuddyLabel(tr("Old &dictionary:"), UpgradeInputEdit, page), input);
    QWidget* output = PathRow(page, UpgradeOutputEdit, UpgradeOutputBtn,
                              QStringLiteral("UpgradeOutput"), tr("Bro&wse..."));
    form->addRow(BuddyLabel(tr("&Save as:"), UpgradeOutputEdit, page), output);
    UpgradeBtn = new QPushButton(tr("Con&vert"), page);
    UpgradeBtn->setObjectName(QStringLiteral("UpgradeBtn"));
    form->addRow(QString(), RightAligned(UpgradeBtn));
    connect(UpgradeInputBtn, &QPushButton::clicked, this, [this] {
        Browse(UpgradeInputEdit, tr("Old Dictionary"), QLatin1String(kDictFilter), false);
    });
    connect(UpgradeOutputBtn, &QPushButton::clicked, this, [this] {
        Browse(UpgradeOutputEdit, tr("Save as Version 7"), QLatin1String(kDictFilter), true);
    });
    connect(UpgradeInputEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QFileInfo in(text.trimmed());
        if (in.fileName().isEmpty() || UpgradeOutputEdit->isModified()) return;
        UpgradeOutputEdit->setText(
            in.dir().filePath(in.completeBaseName() + QStringLiteral("-7.bxd")));
    });
    connect(UpgradeBtn, &QPushButton::clicked, this, &TConverterForm::UpgradeBtnClick);
    return page;
}

void TConverterForm::TabsCurrentChanged(int index) {
    // Enter runs the page's own command.
    QPushButton* const run[] = {ImportBtn, ExportBtn, UpgradeBtn};
    for (int i = 0; i < 3; ++i)
        run[i]->setDefault(i == index);
}

void TConverterForm::ImportInputBtnClick() {
    const int format = ImportFormatBox->currentIndex();
    if (format == static_cast<int>(TImportFormat::AutoKey)) {
        const QString folder =
            AskFileName ? AskFileName(tr("AutoKey Phrase Folder"), false)
                        : QFileDialog::getExistingDirectory(this, tr("AutoKey Phrase Folder"),
                                                            ImportInputEdit->text());
        if (!folder.isEmpty()) ImportInputEdit->setText(folder);
        return;
    }
    Browse(ImportInputEdit, tr("Import From"), tr(kImports[format].filter), false);
}

void TConverterForm::Browse(QLineEdit* edit, const QString& caption, const QString& filter,
                            bool save) {
    QString path;
    if (AskFileName)
        path = AskFileName(caption, save);
    else if (save)
        path = QFileDialog::getSaveFileName(this, caption, edit->text(), filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    else
        path = QFileDialog::getOpenFileName(this, caption, edit->text(), filter);
    if (path.isEmpty()) return;
    edit->setText(path);
    edit->setModified(true);
}

bool TConverterForm::Ready(const QList<QLineEdit*>& edits) {
    for (QLineEdit* e : edits) {
        if (!e->text().trimmed().isEmpty()) continue;
        TMessageBox::Warn(this, tr(kCaption), tr("Please fill in every file name first."));
        e->setFocus();
        return false;
    }
    return true;
}

bool TConverterForm::MayReplace(const QString& path) {
    if (!QFileInfo::exists(path)) return true;
    return TMessageBox::Ask(this, tr(kCaption),
                            tr("\"%1\" already exists.\nDo you want to replace it?").arg(path)) ==
           QMessageBox::Yes;
}

void TConverterForm::ImportBtnClick() {
    if (!Ready({ImportInputEdit, ImportDictEdit})) return;
    const auto format = static_cast<TImportFormat>(ImportFormatBox->currentIndex());
    const QString input = ImportInputEdit->text().trimmed();
    const QString dict = ImportDictEdit->text().trimmed();
    const bool skip = SkipBadChk->isChecked();
    Run([&](const Converter::TProgressStep& step) {
        return Converter::Import(format, input, dict, skip, step);
    });
}

void TConverterForm::ExportBtnClick() {
    if (!Ready({ExportDictEdit, ExportOutputEdit})) return;
    const auto format = static_cast<TExportFormat>(ExportFormatBox->currentIndex());
    const QString dict = ExportDictEdit->text().trimmed();
    const QString output = ExportOutputEdit->text().trimmed();
    if (!MayReplace(output)) return;
    Run([&](const Converter::TProgressStep& step) {
        return Converter::Export(format, dict, output, step);
    });
}

void TConverterForm::UpgradeBtnClick() {
    if (!Ready({UpgradeInputEdit, UpgradeOutputEdit})) return;
    const QString input = UpgradeInputEdit->text().trimmed();
    const QString output = UpgradeOutputEdit->text().trimmed();
    if (!MayReplace(output)) return;
    Run([&](const Converter::TProgressStep& step) {
        return Converter::Upgrade(input, output, step);
    });
}

void TConverterForm::Run(
    const std::function<TConvertReport(const Converter::TProgressStep&)>& work) {
    Tabs->setEnabled(false);
    CloseBtn->setEnabled(false);
    ReportMemo->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TConvertReport report = work([this](int percent, const QString& what) {
        ProgressBar1->setValue(percent);
        ReportMemo->appendPlainText(what);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    QApplication::restoreOverrideCursor();
    Tabs->setEnabled(true);
    CloseBtn->setEnabled(true);
    Show(report);
}

void TConverterForm::Show(const TConvertReport& report) {
    QStringList lines;
    if (!report.error.isEmpty()) lines << report.error;
    if (!report.summary.isEmpty()) lines << report.summary;
    if (!report.faults.isEmpty()) {
        lines << QString()
              << (report.status == TConvertStatus::Skipped ? tr("Skipped:") : tr("At fault:"));
        for (const TConvertNote& n : report.faults)
            lines << QStringLiteral("  ") + n.Text();
    }
    if (!report.losses.isEmpty()) {
        lines << QString() << tr("Not carried over:");
        for (const TConvertNote& n : report.losses)
            lines << QStringLiteral("  ") + n.Text();
    }
    ReportMemo->setPlainText(lines.join(QLatin1Char('\n')));
    const bool ok = report.status == TConvertStatus::Ok;
    ProgressBar1->setValue(ok || report.status == TConvertStatus::Skipped ? 100 : 0);
    if (!ok) {
        const QString first = report.error.isEmpty() ? report.summary : report.error;
        TMessageBox::Warn(this, tr(kCaption), first + tr("\n\nThe report lists the details."));
    }
}
