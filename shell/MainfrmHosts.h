#pragma once
// The main window's answers to the typing layer: the typing controller, the
// engine's services and the hint windows each see only their own interface.
#include <memory>

class TMainForm;
class TTypingHost;
class TServicesHost;
class THintHost;

std::unique_ptr<TTypingHost> MakeTypingHost(TMainForm& form);
std::unique_ptr<TServicesHost> MakeServicesHost(TMainForm& form);
std::unique_ptr<THintHost> MakeHintHost(TMainForm& form);
