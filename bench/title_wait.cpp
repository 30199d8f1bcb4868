// Starts a program and reports how long it takes until one of its windows bears a given title.
// Usage: velmo_title_wait TITLE TIMEOUT_MS PROGRAM [ARGS...]
// Prints "PID MILLISECONDS CPU_MILLISECONDS": the program's id, the time until the title, and the
// processor time its process tree had used by then. The program goes on running (its own output
// goes to standard error); on time-out it is ended and the exit code is 1.
// Event-driven: it listens to the X server instead of polling it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>

#include <sys/select.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A window may go before its events are read: errors about it are not fatal here.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

std::string textProperty(Display* display, Window window, Atom property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8)
            text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

struct Atoms {
    Atom netName;
    Atom utf8;
};

bool hasTitle(Display* display, Window window, const Atoms& atoms, const std::string& title)
{
    const std::string name = textProperty(display, window, atoms.netName, atoms.utf8);
    if (!name.empty())
        return name == title;
    return textProperty(display, window, XA_WM_NAME, AnyPropertyType) == title;
}

// The processor time (user and system) used so far by a process and all its descendants, in ms.
double treeCpuMilliseconds(pid_t root)
{
    std::map<long, std::vector<long>> children;
    std::map<long, long> ticks;
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            const long pid = std::atol(entry->d_name);
            if (pid <= 0)
                continue;
            std::ifstream file(std::string("/proc/") + entry->d_name + "/stat");
            std::string text;
            std::getline(file, text);
            // The name in parentheses may hold anything: the fields are read after its end.
            const auto nameEnd = text.rfind(')');
            if (nameEnd == std::string::npos)
                continue;
            std::istringstream fields(text.substr(nameEnd + 1));
            std::string state;
            long ppid = 0;
            long skipped = 0;
            long user = 0;
            long system = 0;
            fields >> state >> ppid;
            for (int field = 0; field < 9; ++field)
                fields >> skipped;
            fields >> user >> system;
            children[ppid].push_back(pid);
            ticks[pid] = user + system;
        }
        ::closedir(proc);
    }
    long total = 0;
    std::vector<long> pending{root};
    while (!pending.empty()) {
        const long pid = pending.back();
        pending.pop_back();
        total += ticks[pid];
        for (const long child : children[pid])
            pending.push_back(child);
    }
    return total * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s TITLE TIMEOUT_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    const auto timeout = std::chrono::milliseconds(std::atol(argv[2]));

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: no X display\n", argv[0]);
        return 2;
    }
    XSetErrorHandler(ignoreError);
    const Atoms atoms{XInternAtom(display, "_NET_WM_NAME", False),
                      XInternAtom(display, "UTF8_STRING", False)};
    const Window root = DefaultRootWindow(display);
    // Listening before the program starts: none of its windows can be missed.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        ::close(ConnectionNumber(display));
        // Our standard output carries only the result: the program writes its own to our errors.
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        ::_exit(127);
    }

    const int connection = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Window window = None;
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                window = event.xcreatewindow.window;
                XSelectInput(display, window, PropertyChangeMask);
                XSync(display, False);
            } else if (event.type == PropertyNotify && (event.xproperty.atom == atoms.netName ||
                                                        event.xproperty.atom == XA_WM_NAME)) {
                window = event.xproperty.window;
            }
            if (window != None && hasTitle(display, window, atoms, title)) {
                const auto elapsed =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::printf("%d %.1f %.0f\n", static_cast<int>(child), elapsed,
                            treeCpuMilliseconds(child));
                return 0;
            }
        }
        const auto left = timeout - (Clock::now() - start);
        if (left <= Clock::duration::zero())
            break;
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        timeval wait{static_cast<time_t>(micros / 1000000),
                     static_cast<suseconds_t>(micros % 1000000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        if (::select(connection + 1, &readable, nullptr, nullptr, &wait) < 0 && errno != EINTR)
            break;
    }
    std::fprintf(stderr, "%s: no window titled \"%s\" in time\n", argv[0], title.c_str());
    ::kill(child, SIGKILL);
    return 1;
}
