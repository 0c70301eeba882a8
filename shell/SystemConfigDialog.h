#pragma once
// "System Configuration": what a support request needs to know, with a
// button that copies it.
#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

// The facts the report lists; the main window gathers them.
struct TSystemFacts {
    QString ProgramVersion, QtVersion, TclVersion;
    // "name: value" lines about the X display, from the hook library.
    QString DisplayReport;
    QString HookBackend;
    // Whether password fields can be found (the accessibility bus).
    QString Accessibility;
    QString ConfigDir;
    QString Dictionary;
    int Entries = 0;
    qint64 DictionaryBytes = 0;
};

namespace SystemReport {
QString Format(const TSystemFacts& facts);
}

class TSystemConfigDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSystemConfigDlg(const QString& report, QWidget* parent = nullptr);
    void CopyBtnClick();

    QPlainTextEdit* ReportMemo = nullptr;
    QPushButton* CopyBtn = nullptr;
};
