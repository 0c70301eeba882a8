#pragma once
// File > "Run Tcl Script..." (F9).
class TScriptHost;
class TTclInterface;

// Hides the main window while the console is open; afterwards shows it again
// if it was shown and redisplays the dictionary, which a script may have
// changed, keeping the current row.
void RunTclScriptConsole(TScriptHost& host, TTclInterface* tcl);
