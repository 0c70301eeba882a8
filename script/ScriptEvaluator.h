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
};

class TTclEvaluator : public TScriptEvaluator {
public:
    explicit TTclEvaluator(TTclInterface& tcl) : tcl_(tcl) {}
    QByteArray Evaluate(const QByteArray& script) override;

private:
    TTclInterface& tcl_;
};
