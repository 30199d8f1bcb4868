// Starts a program and times the pages it shows by their own load event: each page of the
// benchmark reports it to a small HTTP server on 127.0.0.1 that this helper runs. After the first
// page, it can press Ctrl+Page Down in the program's window a number of times and time each next
// page the same way.
//
// Usage: velmo_load_wait --free-port
//        velmo_load_wait PORT TIMEOUT_MS STEPS SETTLE_MS PROGRAM [ARGS...]
// The first form prints a free port for the pages to name. The second listens on that port,
// starts the program and prints, once the first page has loaded,
//     start PID LOAD_MS CPU_MS TITLE
// (the time from the program's start to the page's load event, and the processor time of its
// process tree by then), then for each of the STEPS next pages, SETTLE_MS after the previous
// one loaded,
//     next NAVIGATION_MS LOAD_MS TITLE
// (from the key press to the engine's navigation start, and to the page's load event). The
// program goes on running (its own output goes to standard error); on time-out it is ended and
// the exit code is 1.
//
// A page reports with a request of
//     /loaded?start=<performance.timeOrigin>&end=<timeOrigin + performance.now()>&title=<title>
// made from its load listener. Times are those of the page itself, in milliseconds since 1970,
// so the report's own trip does not count.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double nowSinceEpochMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A window may go before its properties are read: errors about it are not fatal here.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
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

struct Report {
    double start = 0; // the navigation start, ms since 1970
    double end = 0;   // the load event
    std::string title;
};

std::string decoded(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            result.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            result.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return result;
}

std::optional<Report> reportIn(const std::string& head)
{
    const std::string prefix = "GET /loaded?";
    if (head.rfind(prefix, 0) != 0)
        return std::nullopt;
    const std::string query =
        head.substr(prefix.size(), head.find(' ', prefix.size()) - prefix.size());
    Report report;
    std::istringstream fields(query);
    std::string field;
    while (std::getline(fields, field, '&')) {
        const auto equals = field.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = field.substr(0, equals);
        const std::string value = decoded(field.substr(equals + 1));
        if (name == "start")
            report.start = std::atof(value.c_str());
        else if (name == "end")
            report.end = std::atof(value.c_str());
        else if (name == "title")
            report.title = value;
    }
    if (report.end <= 0)
        return std::nullopt;
    return report;
}

// The HTTP server the pages report to: every connection is answered and closed once its request
// head has come; the reports are kept in the order they came.
class ReportServer {
public:
    explicit ReportServer(int port)
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const int yes = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 64) != 0) {
            std::perror("velmo_load_wait: listen");
            std::exit(2);
        }
    }

    // Waits for the next report until the deadline.
    std::optional<Report> next(Clock::time_point deadline)
    {
        while (reports.empty()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return std::nullopt;
            std::vector<pollfd> watched{{listener, POLLIN, 0}};
            for (const auto& [fd, head] : clients)
                watched.push_back({fd, POLLIN, 0});
            if (::poll(watched.data(), watched.size(), static_cast<int>(left.count())) < 0 &&
                errno != EINTR)
                return std::nullopt;
            for (const pollfd& entry : watched) {
                if (!(entry.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                if (entry.fd == listener)
                    acceptAll();
                else
                    readFrom(entry.fd);
            }
        }
        const Report report = reports.front();
        reports.erase(reports.begin());
        return report;
    }

private:
    void acceptAll()
    {
        int fd;
        while ((fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
            clients[fd];
    }

    void readFrom(int fd)
    {
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ::close(fd);
            clients.erase(fd);
            return;
        }
        std::string& head = clients[fd];
        head.append(buffer, static_cast<std::size_t>(n));
        if (head.find("\r\n\r\n") == std::string::npos)
            return;
        const std::optional<Report> report = reportIn(head);
        const char* answer = report ? "HTTP/1.1 204 No Content\r\n" : "HTTP/1.1 404 Not Found\r\n";
        const std::string reply =
            std::string(answer) + "Content-Length: 0\r\nConnection: close\r\n\r\n";
        [[maybe_unused]] const ssize_t sent = ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        ::close(fd);
        clients.erase(fd);
        if (report)
            reports.push_back(*report);
    }

    int listener = -1;
    std::map<int, std::string> clients;
    std::vector<Report> reports;
};

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    ::close(fd);
    return ntohs(address.sin_port);
}

// The program's shown top-level window: the largest one that is viewable and bears its pid.
Window windowOf(Display* display, pid_t pid)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root = DefaultRootWindow(display);
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    Window best = None;
    long bestArea = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return None;
    for (unsigned int i = 0; i < count; ++i) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &after, &data) != Success ||
            data == nullptr)
            continue;
        const long owner = items == 1 && format == 32 ? *reinterpret_cast<long*>(data) : 0;
        XFree(data);
        XWindowAttributes attributes;
        if (owner != pid || !XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        const long area = static_cast<long>(attributes.width) * attributes.height;
        if (area > bestArea) {
            best = children[i];
            bestArea = area;
        }
    }
    if (children)
        XFree(children);
    return best;
}

void press(Display* display, KeySym modifier, KeySym key)
{
    const KeyCode modifierCode = XKeysymToKeycode(display, modifier);
    const KeyCode keyCode = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, modifierCode, True, CurrentTime);
    XTestFakeKeyEvent(display, keyCode, True, CurrentTime);
    XTestFakeKeyEvent(display, keyCode, False, CurrentTime);
    XTestFakeKeyEvent(display, modifierCode, False, CurrentTime);
    XFlush(display);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--free-port") == 0) {
        std::printf("%d\n", freePort());
        return 0;
    }
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s --free-port\n       %s PORT TIMEOUT_MS STEPS SETTLE_MS "
                     "PROGRAM [ARGS...]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const auto timeout = std::chrono::milliseconds(std::atol(argv[2]));
    const int steps = std::atoi(argv[3]);
    const auto settle = std::chrono::milliseconds(std::atol(argv[4]));

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: no X display\n", argv[0]);
        return 2;
    }
    XSetErrorHandler(ignoreError);
    ReportServer server(port);

    const double started = nowSinceEpochMs();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        ::close(ConnectionNumber(display));
        // Our standard output carries only the result: the program writes its own to our errors.
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execvp(argv[5], argv + 5);
        std::perror(argv[5]);
        ::_exit(127);
    }
    const auto fail = [&](const char* what) {
        std::fprintf(stderr, "%s: %s\n", argv[0], what);
        ::kill(child, SIGKILL);
        return 1;
    };

    std::optional<Report> report = server.next(Clock::now() + timeout);
    if (!report)
        return fail("no page loaded in time");
    std::printf("start %d %.1f %.0f %s\n", static_cast<int>(child), report->end - started,
                treeCpuMilliseconds(child), report->title.c_str());
    std::fflush(stdout);

    for (int step = 0; step < steps; ++step) {
        std::this_thread::sleep_for(settle);
        const Window window = windowOf(display, child);
        if (window == None)
            return fail("no window to press the key in");
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        // Qt takes the focus change before the key comes.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string previous = report->title;
        const double pressed = nowSinceEpochMs();
        press(display, XK_Control_L, XK_Next);
        report = server.next(Clock::now() + timeout);
        if (!report)
            return fail("no next page loaded in time");
        if (report->title == previous)
            return fail("the same page loaded again");
        std::printf("next %.1f %.1f %s\n", report->start - pressed, report->end - pressed,
                    report->title.c_str());
        std::fflush(stdout);
    }
    return 0;
}
