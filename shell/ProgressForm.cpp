#include "shell/ProgressForm.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TProgressForm::TProgressForm(const QString& line, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Brevix"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(line, this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setMinimumWidth(320);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
}

void TProgressForm::SetRange(int minimum, int maximum) {
    ProgressBar1->setRange(minimum, maximum);
}

void TProgressForm::SetPosition(int position) {
    ProgressBar1->setValue(position);
}

void TProgressForm::ProcessMessages() {
    // Only painting and timers: the user cannot start another load meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
