#pragma once
// "Alt+Ins Options": what quick add puts before and after the proposed keyword.
#include <QDialog>

class QLineEdit;

class TAltInsOptionsDlg : public QDialog {
    Q_OBJECT
public:
    TAltInsOptionsDlg(const QString& prefix, const QString& suffix, QWidget* parent = nullptr);
    // The texts as the boxes hold them; the caller stores them only after OK.
    QString Prefix() const;
    QString Suffix() const;

    QLineEdit* PrefixEdit = nullptr;
    QLineEdit* SuffixEdit = nullptr;
};
