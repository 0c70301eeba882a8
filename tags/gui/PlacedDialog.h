#pragma once
// A dialog that keeps its place and size in a section of the settings file,
// read when it is first shown and written when it closes.
#include <QDialog>

class TPlacedDialog : public QDialog {
    Q_OBJECT
public:
    // No settings file (an empty path) keeps nothing.
    TPlacedDialog(const QString& section, const QString& iniPath, QWidget* parent);
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Writes the placement now; done() calls it.
    void SavePlacement();

private:
    QString section_, iniPath_;
    bool placed_ = false;
};
