#include "platform/desktop/detached_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs in the middle process. Between fork and exec only async-signal-safe calls are allowed.
[[noreturn]] void startGrandchild(char* const* argv, int errorPipe)
{
    if (setsid() >= 0) {
        const pid_t grandchild = fork();
        if (grandchild > 0)
            _exit(0);
        if (grandchild == 0) {
            // The web engine ignores SIGPIPE and blocks signals; the program should start clean.
            struct sigaction defaultAction = {};
            defaultAction.sa_handler = SIG_DFL;
            sigaction(SIGPIPE, &defaultAction, nullptr);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            execv(argv[0], argv);
        }
    }
    // Reached when a step failed: report errno to the waiting parent.
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(errorPipe, &error, sizeof error);
    _exit(127);
}

} // namespace

bool startDetachedProcess(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(errorPipe[0]);
        startGrandchild(argv.data(), errorPipe[1]);
    }
    close(errorPipe[1]);
    if (child < 0) {
        close(errorPipe[0]);
        return false;
    }
    // The middle process ends at once, so the program is adopted by init and never left a zombie.
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(errorPipe[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    // The pipe closes without a word when exec succeeds.
    return got == 0;
}
