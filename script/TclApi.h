#pragma once
// The Tcl library is bound at run time so that Brevix keeps running, without
// scripting, when it is missing. <tcl.h> supplies the types only; every entry
// point is looked up by name in the loaded library.
#include <QString>
#include <tcl.h>

struct TTclApi {
    Tcl_Interp* (*CreateInterp)() = nullptr;
    void (*DeleteInterp)(Tcl_Interp*) = nullptr;
    int (*GlobalEval)(Tcl_Interp*, const char*) = nullptr;
    const char* (*GetStringResult)(Tcl_Interp*) = nullptr;
    int (*Init)(Tcl_Interp*) = nullptr;
    Tcl_Command (*CreateCommand)(Tcl_Interp*, const char*, Tcl_CmdProc*, ClientData,
                                 Tcl_CmdDeleteProc*) = nullptr;
    void (*SetResult)(Tcl_Interp*, char*, Tcl_FreeProc*) = nullptr;
    void (*AppendElement)(Tcl_Interp*, const char*) = nullptr;
    int (*EvalFile)(Tcl_Interp*, const char*) = nullptr;
    const char* (*SetVar)(Tcl_Interp*, const char*, const char*, int) = nullptr;
    const char* (*GetVar)(Tcl_Interp*, const char*, int) = nullptr;
    int (*SplitList)(Tcl_Interp*, const char*, int*, const char***) = nullptr;
    char* (*Merge)(int, const char* const*) = nullptr;
    void (*Free)(char*) = nullptr;
    Tcl_Channel (*OpenCommandChannel)(Tcl_Interp*, int, const char**, int) = nullptr;
    void (*RegisterChannel)(Tcl_Interp*, Tcl_Channel) = nullptr;
    int (*UnregisterChannel)(Tcl_Interp*, Tcl_Channel) = nullptr;
    // Optional: lets Tcl find its encodings; absent in very old libraries.
    void (*FindExecutable)(const char*) = nullptr;
    // Optional (Tcl 8.6): stopping a script that runs too long, from another thread.
    int (*CancelEval)(Tcl_Interp*, Tcl_Obj*, ClientData, int) = nullptr;
    int (*EvalObjv)(Tcl_Interp*, int, Tcl_Obj* const[], int) = nullptr;
    Tcl_Obj* (*NewStringObj)(const char*, int) = nullptr;
    void (*DbDecrRefCount)(Tcl_Obj*, const char*, int) = nullptr;
    void (*ResetResult)(Tcl_Interp*) = nullptr;
    // Optional: whether a script text ends inside braces, brackets or quotes.
    int (*CommandComplete)(const char*) = nullptr;

    bool CanCancel() const {
        return CancelEval && EvalObjv && NewStringObj && DbDecrRefCount && ResetResult;
    }

    // Looks up every required entry point in `handle` (a dlopen handle). On the
    // first one missing, false with "Unable to find function <name> in <file>".
    bool Resolve(void* handle, const QString& fileName, QString* error);
};
