#include "shell/report.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

bool DialogsEnabled = true;
void (*FatalEndingHook)(const std::string& text) = nullptr;

void ShowErrorBox(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (DialogsEnabled) PlatformMessageBox(text.c_str(), caption.c_str());
}

void FatalError(const std::string& text)
{
    PlatformRestoreDisplayMode();
    if (FatalEndingHook) FatalEndingHook(text);
    ShowErrorBox(text, "FATAL ERROR");
    EndAfterFatalError();
}

void EndAfterFatalError()
{
    std::fflush(stdout);
    std::exit(1);   // the platform layer's exit handler releases audio, context and mode
}
