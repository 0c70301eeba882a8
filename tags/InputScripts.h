#pragma once
// The one Tcl interpreter as the input fields see it: Tcl fields, " @ONSHOW="
// scripts and the session procedures. The shell lends its interpreter; tests
// lend a double. Texts are Windows-1252.
#include <QByteArray>

class TInputScripts {
public:
    virtual ~TInputScripts() = default;
    // False when the script failed (or no interpreter is there).
    virtual bool Eval(const QByteArray& script) = 0;
    virtual QByteArray GetResult() = 0;
    virtual QByteArray GetErrorInfo() = 0;

    // How a failed script is shown everywhere.
    QByteArray FailureText() { return GetResult() + "\r\nSTACK TRACE:\r\n" + GetErrorInfo(); }
    // "info procs name" answers exactly name.
    bool ProcDefined(const QByteArray& name) {
        return Eval("info procs " + name) && GetResult() == name;
    }
};
