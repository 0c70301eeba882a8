#pragma once
// What the remote script server needs of an interpreter: one request in, the
// reply out. The reply is the interpreter's result whether the script failed
// or not (after an error, Tcl's message).
#include <QByteArray>

class TTclInterface;

class TScriptEvaluator {
public:
    virtual ~TScriptEvaluator() = default;
    virtual QByteArray Evaluate(const QByteArray& script) = 0;
    // False while `script` ends inside braces, brackets or quotes: the rest
    // has not arrived yet.
    virtual bool IsComplete(const QByteArray&) const { return true; }
};

class TTclEvaluator : public TScriptEvaluator {
public:
    explicit TTclEvaluator(TTclInterface& tcl) : tcl_(tcl) {}
    QByteArray Evaluate(const QByteArray& script) override;
    bool IsComplete(const QByteArray& script) const override;

private:
    TTclInterface& tcl_;
};
