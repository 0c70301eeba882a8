#pragma once
// The entry editor's options word.
namespace editopt {
constexpr int All = 1;         // everything editable
constexpr int Keyword = 2;     // the keyword is editable
constexpr int Shortcut = 4;    // the shortcut button is enabled
constexpr int Description = 8; // the description is editable
constexpr int Text = 16;       // the text is editable
constexpr int Restricted = 32; // no tags menu, no hint, no context menu in the text
constexpr int OkEnabled = 64;  // OK may be pressed before anything changes
} // namespace editopt
