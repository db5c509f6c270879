// Error boxes. Every box text also goes to standard error; with dialogs off (the
// --no-dialogs and --capture options, or no display) that is all that happens.
#pragma once

#include <string>

// Written by the program's entry from its options (and by tests); read by ShowErrorBox.
extern bool DialogsEnabled;

// Shows a box with an OK button and returns when it is closed.
void ShowErrorBox(const std::string& text, const std::string& caption);

// Desktop mode restored, "FATAL ERROR" box with the text, exit status 1.
[[noreturn]] void FatalError(const std::string& text);

// Ends the program with exit status 1 after a fatal box has already been shown.
[[noreturn]] void EndAfterFatalError();

// Written only by tests, to observe fatal endings without leaving the test program; it
// must not return (throwing is fine). Null in the program.
extern void (*FatalEndingHook)(const std::string& text);
