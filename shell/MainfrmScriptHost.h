#pragma once
// The main window as the script commands and the script console see it.
#include <memory>

class TMainForm;
class TScriptHost;

std::unique_ptr<TScriptHost> MakeScriptHost(TMainForm& form);
