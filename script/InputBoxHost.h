#pragma once
// The one-field input boxes and file dialogs that bx_input shows; the shell
// lends them. Texts are Unicode here; every call is modal and returns false
// when the user cancelled or another box of the kind is open.
#include <QList>
#include <QString>
#include <QStringList>

class TInputBoxHost {
public:
    virtual ~TInputBoxHost() = default;
    virtual bool Line(QString& text, const QString& prompt) = 0;
    virtual bool Memo(QString& text, const QString& prompt, bool spell) = 0;
    // The main window is minimised while the message shows.
    virtual bool Message(const QString& text, const QString& prompt) = 0;
    // text: "mm/dd/yyyy" in and out.
    virtual bool Date(QString& text, const QString& prompt) = 0;
    virtual bool PickList(QList<int>& chosen, const QStringList& items, const QString& prompt,
                          bool multiple) = 0;
    // True while one of the file dialogs is open.
    virtual bool FileDialogOpen() const = 0;
    // filter: Qt's form ("Text files (*.txt);;All files (*)"). Empty when cancelled.
    virtual QString AskFile(bool save, const QString& title, const QString& filter,
                            const QString& initial) = 0;
    // The input field form: -1 only asks; 1 shows, 0 hides. Returns whether it
    // exists and is visible afterwards.
    virtual bool ShowFieldForm(int show) = 0;
};
