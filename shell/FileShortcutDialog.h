#pragma once
// "Specify a File Shortcut": a dictionary, script, document or command line
// with its description and shortcut key.
#include <QDialog>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TFileShortcutDlg : public QDialog {
    Q_OBJECT
public:
    // dictionaryDir: where Browse starts when the file field names no folder.
    explicit TFileShortcutDlg(const QString& dictionaryDir = QString(), QWidget* parent = nullptr);

    void SetValues(const QString& file, uint16_t code, const QString& caption);
    void SetFileText(const QString& file);
    uint16_t Code() const { return code_; }
    void SetCode(uint16_t code);
    // The trimmed texts as OK returns them; an empty description becomes
    // the file name of the file text.
    QString FileText() const;
    QString Description() const;

    void BrowseBtnClick();
    void ShortcutBtnClick();

    // The Open dialog and the key dialog; tests replace them.
    std::function<QString(const QString& dir, const QString& file)> AskOpenFile;
    std::function<bool(uint16_t& code)> AskShortcut;

    QLineEdit* FileEdit = nullptr;
    QLineEdit* DescEdit = nullptr;
    QLineEdit* ShortcutEdit = nullptr;
    QPushButton* BrowseBtn = nullptr;
    QPushButton* ShortcutBtn = nullptr;
    QLabel* NoteLbl = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void UpdateOK();

    QString dictionaryDir_;
    uint16_t code_ = 0;
};

// True on OK, with the code, the trimmed file text and the description.
bool FileShortcutDialog(QString& file, uint16_t& code, QString& caption,
                        const QString& dictionaryDir = QString(), QWidget* parent = nullptr);
