#include "script/TclApi.h"

#include <dlfcn.h>

namespace {
template <typename F> bool Bind(void* handle, const char* name, F& slot) {
    slot = reinterpret_cast<F>(dlsym(handle, name));
    return slot != nullptr;
}
} // namespace

bool TTclApi::Resolve(void* handle, const QString& fileName, QString* error) {
    bool ok = true;
    auto need = [&](const char* name, auto& slot) {
        if (ok && !Bind(handle, name, slot)) {
            ok = false;
            if (error)
                *error = QStringLiteral("Unable to find function %1 in %2")
                             .arg(QString::fromLatin1(name), fileName);
        }
    };
    need("Tcl_CreateInterp", CreateInterp);
    need("Tcl_DeleteInterp", DeleteInterp);
    need("Tcl_GlobalEval", GlobalEval);
    need("Tcl_GetStringResult", GetStringResult);
    need("Tcl_Init", Init);
    need("Tcl_CreateCommand", CreateCommand);
    need("Tcl_SetResult", SetResult);
    need("Tcl_AppendElement", AppendElement);
    need("Tcl_EvalFile", EvalFile);
    need("Tcl_SetVar", SetVar);
    need("Tcl_GetVar", GetVar);
    need("Tcl_SplitList", SplitList);
    need("Tcl_Merge", Merge);
    need("Tcl_Free", Free);
    need("Tcl_OpenCommandChannel", OpenCommandChannel);
    need("Tcl_RegisterChannel", RegisterChannel);
    need("Tcl_UnregisterChannel", UnregisterChannel);
    if (!ok)
        *this = TTclApi();
    else {
        Bind(handle, "Tcl_FindExecutable", FindExecutable);
        Bind(handle, "Tcl_CancelEval", CancelEval);
        Bind(handle, "Tcl_EvalObjv", EvalObjv);
        Bind(handle, "Tcl_NewStringObj", NewStringObj);
        Bind(handle, "Tcl_DbDecrRefCount", DbDecrRefCount);
        Bind(handle, "Tcl_ResetResult", ResetResult);
        Bind(handle, "Tcl_CommandComplete", CommandComplete);
    }
    return ok;
}
