// POSIX implementation of the operating-system services: getrusage, isatty, fork and exec.
#include "platform/system.h"

#include "platform/command_line.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

struct ChildProcess {
    pid_t pid;
    FILE* input;
};

bool PlatformProcessFigures(ProcessFigures* figures)
{
    *figures = ProcessFigures{};
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0) return false;
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    figures->cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    figures->peakResidentKb = usage.ru_maxrss;
    return true;
}

void PlatformUseParentConsole() {}

bool PlatformIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }

std::string PlatformFindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    for (const std::string& candidate : ProgramCandidates(path ? path : "/usr/bin:/bin", name, PathRules::Posix)) {
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

ChildProcess* PlatformStartChild(const std::string& path, const std::vector<std::string>& arguments,
                                 bool lowPriority, size_t pipeBytes)
{
    // A reader that ends early must give a failed write, not end this process.
    signal(SIGPIPE, SIG_IGN);
    // Everything the child needs is made before the fork: after it, only calls that are
    // safe in a copy of a process with other threads.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return nullptr;
#if defined(F_SETPIPE_SZ)
    fcntl(ends[1], F_SETPIPE_SZ, static_cast<int>(pipeBytes));
#else
    (void)pipeBytes;
#endif
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(ends[0], 0) < 0) _exit(127);
        if (lowPriority && nice(19) == -1) {
            // Not being able to lower one's priority is no reason to fail.
        }
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(ends[0]);
    if (pid < 0) {
        close(ends[1]);
        return nullptr;
    }
    FILE* input = fdopen(ends[1], "wb");
    if (!input) {
        close(ends[1]);
        waitpid(pid, nullptr, 0);
        return nullptr;
    }
    return new ChildProcess{pid, input};
}

FILE* PlatformChildInput(ChildProcess* child) { return child->input; }

int PlatformFinishChild(ChildProcess* child)
{
    std::fclose(child->input);
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(child->pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    delete child;
    if (waited < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
