#pragma once
// "Dictionary Info": the open file, its number of entries (linked ones
// included) and the three info lines of its header, with a button that puts
// the same facts on the clipboard as plain text.
#include <QByteArray>
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

class TDictionaryInfoDlg : public QDialog {
    Q_OBJECT
public:
    TDictionaryInfoDlg(const QString& fileName, int entries, const QByteArray& line1,
                       const QByteArray& line2, const QByteArray& line3, QWidget* parent = nullptr);

    // What CopyBtn puts on the clipboard: every line ends in CR LF.
    QString ClipboardText() const;
    void CopyBtnClick();
    // Tells the user the facts were copied; tests replace it.
    std::function<void(const QString& caption, const QString& text)> Inform;

    QLabel* DictionaryLbl = nullptr;
    QLabel* CustomEntriesLbl = nullptr;
    QLabel* Line1Lbl = nullptr;
    QLabel* Line2Lbl = nullptr;
    QLabel* Line3Lbl = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CopyBtn = nullptr;
    static const QString LicInfoMsg;
};
