// Search-path and command-line text rules of POSIX and Windows.
#include "platform/command_line.h"

namespace {

bool EndsWithExe(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string ending = name.substr(name.size() - 4);
    for (char& c : ending)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ending == ".exe";
}

}  // namespace

std::vector<std::string> ProgramCandidates(const std::string& pathVariable, const std::string& name,
                                           PathRules rules)
{
    const bool windows = rules == PathRules::Windows;
    const char separator = windows ? ';' : ':';
    const std::string file = windows && !EndsWithExe(name) ? name + ".exe" : name;
    std::vector<std::string> candidates;
    size_t start = 0;
    for (;;) {
        const size_t end = pathVariable.find(separator, start);
        std::string folder = pathVariable.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (windows && folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (folder.empty() && !windows) folder = ".";
        if (!folder.empty()) {
            const char last = folder.back();
            const bool ends = last == '/' || (windows && last == '\\');
            candidates.push_back(folder + (ends ? "" : windows ? "\\" : "/") + file);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return candidates;
}

std::string WindowsQuotedArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, too.
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::string WindowsCommandLine(const std::string& program, const std::vector<std::string>& arguments)
{
    std::string line = WindowsQuotedArgument(program);
    for (const std::string& argument : arguments) line += " " + WindowsQuotedArgument(argument);
    return line;
}
