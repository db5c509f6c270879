// Operating-system services beside the window: process figures, the console, programs on
// the search path and child processes fed through a pipe. One implementation per system
// (system_posix.cpp, system_windows.cpp); the search and quoting rules are plain text
// functions shared by both (command_line.cpp).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

struct ProcessFigures {
    double cpuSeconds = 0;     // user and system time used so far
    long peakResidentKb = 0;   // the most memory the process has held resident at once
};
// False (figures left at 0) when the system does not tell.
bool PlatformProcessFigures(ProcessFigures* figures);

// Called first by the entry point. A program without a console window of its own (the
// Windows build) writes standard output and error to the console it was started from,
// unless they were redirected; double-clicked, it has none and writes nowhere.
void PlatformUseParentConsole();

bool PlatformIsTerminal(FILE* stream);

// The path of the executable `name` ("ffmpeg"; "ffmpeg.exe" on Windows) in the folders of
// the PATH variable, first match wins; "" when there is none.
std::string PlatformFindProgram(const std::string& name);

// A child process that reads a binary pipe from this one on its standard input.
struct ChildProcess;

// Starts the program at `path` with the arguments, which reach it as they are (no shell
// parses them), below this process's priority when lowPriority. The pipe holds about
// pipeBytes. A child that ends early makes writes to the pipe fail; it never ends this
// process. Null when the program cannot be started.
ChildProcess* PlatformStartChild(const std::string& path, const std::vector<std::string>& arguments,
                                 bool lowPriority, size_t pipeBytes);
// The writing end of the child's standard input, open in binary mode.
FILE* PlatformChildInput(ChildProcess* child);
// Closes the pipe, waits for the child to end and releases it. Its exit status; -1 when
// it did not exit by itself.
int PlatformFinishChild(ChildProcess* child);
