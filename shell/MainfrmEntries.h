#pragma once
// What the main window keeps for making and changing entries: the entry
// commands, the services the entry editor uses, and the recorder's reach.
#include "dictionary/EntryOperations.h"
#include "tags/gui/EditorServices.h"
#include "tags/gui/RecordDlg.h"

#include <memory>

class TMainForm;

struct TMainEntries {
    explicit TMainEntries(TMainForm& form);
    ~TMainEntries();
    std::unique_ptr<TEntryHost> Host;
    TEntryOperations Operations;
    TEditorServices EditorServices;
    TRecorderHost RecorderHost;
    // The tray's menu while a recording runs.
    QMenu* RecordingMenu = nullptr;
};
