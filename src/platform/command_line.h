// Search-path and command-line rules of each system as plain text functions, so that
// both systems' rules can be checked on either.
#pragma once

#include <string>
#include <vector>

enum class PathRules { Posix, Windows };

// The full names to try, in order, for the program `name` given the value of PATH: on
// POSIX folders split on ':' (an empty one is the working folder); on Windows split on
// ';', empty ones skipped, ".exe" added to a name without it, either slash accepted.
std::vector<std::string> ProgramCandidates(const std::string& pathVariable, const std::string& name,
                                           PathRules rules);

// One argument quoted so that the Windows C runtime's command-line parser gives it back
// unchanged: double quotes around it when it is empty or holds a space, tab or quote;
// backslashes doubled only where they come before a quote.
std::string WindowsQuotedArgument(const std::string& argument);
// The whole command line: the quoted program path, then each quoted argument, one space
// apart.
std::string WindowsCommandLine(const std::string& program, const std::vector<std::string>& arguments);
