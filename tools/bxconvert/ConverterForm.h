#pragma once
// The converter window: imports from other expanders, exports to them, and
// old dictionaries made version 7, each on a page of its own, with progress
// and a report of what was not carried over. The work is done by
// tools/convert; the window only gathers the paths and shows the outcome.
#include "tools/convert/Converter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

class TConverterForm : public QDialog {
public:
    explicit TConverterForm(QWidget* parent = nullptr);

    QTabWidget* Tabs;
    QComboBox* ImportFormatBox;
    QLineEdit* ImportInputEdit;
    QPushButton* ImportInputBtn;
    QLineEdit* ImportDictEdit;
    QPushButton* ImportDictBtn;
    QCheckBox* SkipBadChk;
    QPushButton* ImportBtn;
    QLineEdit* ExportDictEdit;
    QPushButton* ExportDictBtn;
    QComboBox* ExportFormatBox;
    QLineEdit* ExportOutputEdit;
    QPushButton* ExportOutputBtn;
    QPushButton* ExportBtn;
    QLineEdit* UpgradeInputEdit;
    QPushButton* UpgradeInputBtn;
    QLineEdit* UpgradeOutputEdit;
    QPushButton* UpgradeOutputBtn;
    QPushButton* UpgradeBtn;
    QProgressBar* ProgressBar1;
    QPlainTextEdit* ReportMemo;
    QPushButton* CloseBtn;

    void ImportBtnClick();
    void ExportBtnClick();
    void UpgradeBtnClick();

    // Replaces the dialogs that ask for file names, for tests; empty = cancelled.
    std::function<QString(const QString& caption, bool save)> AskFileName;

private:
    QWidget* BuildImportPage();
    QWidget* BuildExportPage();
    QWidget* BuildUpgradePage();
    void TabsCurrentChanged(int index);
    void ImportInputBtnClick();
    void Browse(QLineEdit* edit, const QString& caption, const QString& filter, bool save);
    bool Ready(const QList<QLineEdit*>& edits);
    bool MayReplace(const QString& path);
    // Runs one conversion with the buttons off and the progress shown.
    void Run(const std::function<TConvertReport(const Converter::TProgressStep&)>& work);
    void Show(const TConvertReport& report);
};
