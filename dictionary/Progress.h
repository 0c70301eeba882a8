#pragma once
// Long loads, saves and clears report to a progress display the owner
// provides (a progress bar in the main window); the core knows no widgets.
class TProgress {
public:
    virtual ~TProgress() = default;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // Lets the application handle pending events while the operation runs.
    virtual void ProcessMessages() = 0;
};
