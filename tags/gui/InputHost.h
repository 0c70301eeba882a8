#pragma once
// What the input windows need of the main window: its input-form mode, the
// hook library's state, settings, the text font, the dictionary's folder, the
// interpreter and the typing of the finished text. The shell implements it.
#include <QByteArray>
#include <QFont>
#include <QString>

class TInputScripts;

class TInputHost {
public:
    virtual ~TInputHost() = default;
    virtual void SetInputFormMode(bool on) = 0;
    virtual void SetFSM(int state) = 0;
    virtual int FSM() const = 0;
    // The program's windows to the front.
    virtual void BringToFront() = 0;
    // "Brevixo.ini"; empty keeps nothing.
    virtual QString IniPath() const = 0;
    virtual QFont TextFont() const = 0;
    virtual QString DictionaryFolder() const = 0;
    // Null without an interpreter.
    virtual TInputScripts* Scripts() = 0;
    virtual bool Closing() const = 0;
    // The filled-in text is typed into the program the user came from.
    virtual void TypeFinishedText(const QByteArray& text) = 0;
    // Nothing is typed: the keyword and text to type are cleared and the
    // typing engine runs empty, giving the focus back.
    virtual void CancelInput() = 0;
    // Shows a page of the program's help ("inputfields.html#date"); false
    // when there is no help window to show it in.
    virtual bool ShowHelp(const QString& page) {
        Q_UNUSED(page);
        return false;
    }
};
