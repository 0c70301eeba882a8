#pragma once
// The small progress window shown while a large dictionary loads or saves.
#include "dictionary/Progress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

class TProgressForm : public QDialog, public TProgress {
    Q_OBJECT
public:
    TProgressForm(const QString& line, QWidget* parent = nullptr);
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;
    void ProcessMessages() override;

    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};
