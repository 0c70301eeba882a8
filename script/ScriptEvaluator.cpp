#include "script/ScriptEvaluator.h"

#include "script/TclInterface.h"

QByteArray TTclEvaluator::Evaluate(const QByteArray& script) {
    tcl_.Eval(script);
    return tcl_.GetResult();
}

bool TTclEvaluator::IsComplete(const QByteArray& script) const {
    return tcl_.CommandComplete(script);
}
