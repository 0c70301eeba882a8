#pragma once
// A main window stand-in for the input windows, an interpreter double, and a
// helper that answers the next modal window.
#include "tags/InputScripts.h"
#include "tags/gui/InputHost.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

class TScriptDouble : public TInputScripts {
public:
    QByteArrayList Procs, Evaluated;
    std::function<bool(const QByteArray&, QByteArray&)> Answer;
    bool Eval(const QByteArray& s) override {
        Evaluated << s;
        if (s.startsWith("info procs ")) {
            result_ = Procs.contains(s.mid(11)) ? s.mid(11) : QByteArray();
            return true;
        }
        result_.clear();
        return Answer ? Answer(s, result_) : true;
    }
    QByteArray GetResult() override { return result_; }
    QByteArray GetErrorInfo() override { return "    while executing"; }

private:
    QByteArray result_;
};

class THostDouble : public TInputHost {
public:
    bool FormMode = false;
    int Fsm = 1;
    QList<QByteArray> Typed;
    int Cancelled = 0;
    QString Ini, DictDir;
    TScriptDouble Tcl;
    bool WithTcl = true;
    void SetInputFormMode(bool on) override { FormMode = on; }
    void SetFSM(int s) override { Fsm = s; }
    int FSM() const override { return Fsm; }
    void BringToFront() override {}
    QString IniPath() const override { return Ini; }
    QFont TextFont() const override { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }
    QString DictionaryFolder() const override { return DictDir; }
    TInputScripts* Scripts() override { return WithTcl ? &Tcl : nullptr; }
    bool Closing() const override { return false; }
    void TypeFinishedText(const QByteArray& text) override { Typed << text; }
    void CancelInput() override { ++Cancelled; }
    QStringList HelpPages;
    bool HelpWindow = true;
    bool ShowHelp(const QString& page) override {
        HelpPages << page;
        return HelpWindow;
    }
};

// Acts on the next modal window (message box, preview, calendar) once it shows.
inline void OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

// Presses the button of a message box.
inline void AnswerBox(QMessageBox::StandardButton which) {
    OnNextModal([which](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(which)->click();
    });
}
