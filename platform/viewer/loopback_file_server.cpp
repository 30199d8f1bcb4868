#include "platform/viewer/loopback_file_server.h"

#include "platform/base/ascii_text.h"
#include "platform/base/local_path.h"
#include "platform/base/percent_decoding.h"
#include "platform/base/random_text.h"
#include "platform/viewer/content_types.h"
#include "platform/viewer/document_hosts.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <set>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t maxHeadSize = 16 * 1024;
// Two threads: a file read from a slow disk holds back only the connections of one.
constexpr int servingThreads = 2;
constexpr std::size_t connectionsPerThread = 64;
// A whole request head, from the connection's opening or from its previous answer.
constexpr auto headDeadline = std::chrono::seconds(2);
// An answer that the peer stops taking.
constexpr auto stallDeadline = std::chrono::seconds(30);
// Sent to one connection at a turn, so that a large file does not hold the others back.
constexpr off_t sendSlice = 256 * 1024;

struct Request {
    std::string method;
    std::string target;
    std::string host;        // as the engine wrote the address, port included
    std::string destination; // Sec-Fetch-Dest, set by the engine itself, never by a script
    std::string range;
    std::string key;       // the viewer's own header, which no page can read or write
    bool keepAlive = true; // HTTP/1.1 without "Connection: close"
    bool hasBody = false;  // a body this server never reads, so the connection cannot go on
};

// Spaces and tabs around a header's value.
constexpr std::string_view headerBlanks = " \t";

std::optional<Request> parseHead(const std::string& head)
{
    Request request;
    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart < head.size()) {
        const auto lineEnd = head.find("\r\n", lineStart);
        const std::string line = head.substr(
            lineStart, lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart);
        lineStart = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
        if (first) {
            first = false;
            const auto space = line.find(' ');
            const auto secondSpace = line.find(' ', space + 1);
            if (space == std::string::npos || secondSpace == std::string::npos ||
                line.compare(secondSpace + 1, 7, "HTTP/1.") != 0)
                return std::nullopt;
            request.method = line.substr(0, space);
            request.target = line.substr(space + 1, secondSpace - space - 1);
            request.keepAlive = line.compare(secondSpace + 1, std::string::npos, "HTTP/1.1") == 0;
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = asciiLowerCase(line.substr(0, colon));
        const std::string value(trimmed(std::string_view(line).substr(colon + 1), headerBlanks));
        if (name == "host")
            request.host = value;
        else if (name == "sec-fetch-dest")
            request.destination = asciiLowerCase(value);
        else if (name == "range")
            request.range = value;
        else if (name == "content-language")
            request.key = value;
        else if (name == "connection" && asciiLowerCase(value) == "close")
            request.keepAlive = false;
        else if ((name == "content-length" && value != "0") || name == "transfer-encoding")
            request.hasBody = true;
    }
    if (first)
        return std::nullopt;
    return request;
}

// The path that a request's target names: percent-decoded, refused when an escape is malformed or
// stands for a NUL byte.
std::optional<std::string> targetPath(std::string_view encoded)
{
    bool malformed = false;
    std::string path = percentDecoded(encoded, &malformed);
    if (malformed || path.find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

bool sameSecret(const std::string& given, const std::string& secret)
{
    if (given.size() != secret.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < secret.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ secret[i]);
    return difference == 0;
}

// Every piece of an absolute path is a name: no "", "." or "..".
bool isPlainAbsolutePath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return false;
    std::size_t start = 1;
    while (start <= path.size()) {
        const auto end = std::min(path.find('/', start), path.size());
        const std::string piece = path.substr(start, end - start);
        if (piece.empty() || piece == "." || piece == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool isShownResource(const std::string& destination)
{
    static const std::set<std::string> shown = {"image", "style", "script", "font",
                                                "audio", "video", "track"};
    return shown.count(destination) > 0;
}

// A file is what its extension says, however the page asks for it: with nosniff, the engine then
// uses only a real style sheet as one and runs only a real script, as a browser does for a file
// page.
std::string contentTypeFor(const std::string& path)
{
    const std::string type = contentTypeByName(path);
    return type.empty() ? "application/octet-stream" : type;
}

std::string resolvedFolder(const std::string& folder)
{
    std::string result = realPathOf(folder).value_or(folder);
    if (result.empty() || result.back() != '/')
        result.push_back('/');
    return result;
}

// The path of an open file as the kernel sees it, its links resolved.
std::string pathOfOpenFile(int fd)
{
    std::array<char, 4096> buffer;
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

struct Response {
    int status = 200;
    std::string reason = "OK";
    std::string headers;
    int file = -1;
    off_t offset = 0;
    off_t length = 0;
    bool withBody = true;
    bool keepAlive = false;

    Response() = default;
    Response(const Response&) = delete;
    Response& operator=(const Response&) = delete;
    ~Response()
    {
        if (file >= 0)
            ::close(file);
    }
};

void refuse(Response& response, int status, const char* reason)
{
    response.status = status;
    response.reason = reason;
    response.length = 0;
}

// A single byte range ("bytes=a-b", "bytes=a-", "bytes=-n"); anything else asks for the whole file.
void applyRange(Response& response, const std::string& range, off_t size)
{
    if (range.rfind("bytes=", 0) != 0 || range.find(',') != std::string::npos)
        return;
    const std::string bounds = range.substr(6);
    const auto dash = bounds.find('-');
    if (dash == std::string::npos)
        return;
    const std::string from(trimmed(std::string_view(bounds).substr(0, dash), headerBlanks));
    const std::string to(trimmed(std::string_view(bounds).substr(dash + 1), headerBlanks));
    const auto digitsOnly = [](const std::string& text) {
        return !text.empty() && text.size() < 19 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    off_t first = 0;
    off_t last = size - 1;
    if (from.empty()) {
        if (!digitsOnly(to))
            return;
        first = std::max<off_t>(0, size - std::stoll(to));
    } else {
        if (!digitsOnly(from) || (!to.empty() && !digitsOnly(to)))
            return;
        first = std::stoll(from);
        if (!to.empty())
            last = std::min<off_t>(last, std::stoll(to));
    }
    if (first >= size || first > last) {
        refuse(response, 416, "Range Not Satisfiable");
        response.headers += "Content-Range: bytes */" + std::to_string(size) + "\r\n";
        return;
    }
    response.status = 206;
    response.reason = "Partial Content";
    response.offset = first;
    response.length = last - first + 1;
    response.headers += "Content-Range: bytes " + std::to_string(first) + "-" +
                        std::to_string(last) + "/" + std::to_string(size) + "\r\n";
}

// The head of the answer for a whole file or a part of it: its type by its name, never sniffed.
void describeFile(const Request& request, const std::string& path, off_t size, Response& response)
{
    response.headers = "Content-Type: " + contentTypeFor(path) + "\r\n";
    // A compressed picture goes as it is on disk, for the engine to inflate.
    if (const std::string encoding = contentEncodingByName(path); !encoding.empty())
        response.headers += "Content-Encoding: " + encoding + "\r\n";
    response.headers += "X-Content-Type-Options: nosniff\r\n";
    // What a style sheet asks of the web does not tell it this server's address.
    response.headers += "Referrer-Policy: no-referrer\r\n";
    response.headers += "Accept-Ranges: bytes\r\n";
    // A font from another origin is used only when its server allows it. Fonts are never readable
    // by a script, and no other kind gets this answer.
    if (request.destination == "font")
        response.headers += "Access-Control-Allow-Origin: *\r\n";
    response.length = size;
    applyRange(response, request.range, size);
}

} // namespace

struct LoopbackFileServer::Shared {
    class Loop;

    RootLookup rootOf;
    std::string secret;
    std::string key;
    std::string hostHeader; // the only address by which the viewer asks: "127.0.0.1:PORT"
    int listener = -1;
    std::vector<std::unique_ptr<Loop>> loops;
    std::vector<std::thread> threads;
    std::atomic<bool> stopping = false;
    std::mutex mutex;
    std::condition_variable allStopped;
    int running = 0;

    ~Shared();
    // Reads a request head and answers it, as the file it may have or a refusal.
    void answer(const std::string& head, Response& response) const;
    // The policy: only the viewer's own address with the secret, for a regular file inside the
    // folder tree of a document shown, asked for as a picture, style, script, font or media of
    // that document. False, with the refusal in `response`, for anything else.
    bool openAllowedFile(const Request& request, Response& response, std::string& path,
                         struct stat& info) const;
};

void LoopbackFileServer::Shared::answer(const std::string& head, Response& response) const
{
    const std::optional<Request> request = parseHead(head);
    if (!request)
        return refuse(response, 400, "Bad Request");
    if (request->method != "GET" && request->method != "HEAD")
        return refuse(response, 405, "Method Not Allowed");
    response.keepAlive = request->keepAlive && !request->hasBody;
    response.withBody = request->method == "GET";
    std::string path;
    struct stat info;
    if (openAllowedFile(*request, response, path, info))
        describeFile(*request, path, info.st_size, response);
}

bool LoopbackFileServer::Shared::openAllowedFile(const Request& request, Response& response,
                                                 std::string& path, struct stat& info) const
{
    const auto refused = [&](int status, const char* reason) {
        refuse(response, status, reason);
        return false;
    };
    // Any other name of this machine is a request the viewer never makes.
    if (request.host != hostHeader)
        return refused(404, "Not Found");
    // The address may have reached a page, and so anyone: only the key in the header, which the
    // viewer adds to the requests it lets through, says that the viewer asks.
    if (!sameSecret(request.key, key))
        return refused(404, "Not Found");
    // /SECRET/HOST/path
    const std::string target = request.target.substr(0, request.target.find('?'));
    const auto hostStart = target.find('/', 1);
    const auto pathStart =
        hostStart == std::string::npos ? std::string::npos : target.find('/', hostStart + 1);
    if (target.empty() || target.front() != '/' || pathStart == std::string::npos ||
        !sameSecret(target.substr(1, hostStart - 1), secret))
        return refused(404, "Not Found");
    const std::string host = target.substr(hostStart + 1, pathStart - hostStart - 1);
    const std::optional<std::string> decoded =
        targetPath(std::string_view(target).substr(pathStart));
    const std::optional<std::string> root = rootOf(host);
    if (!decoded || !root || !isPlainAbsolutePath(*decoded) || root->empty() ||
        root->back() != '/' || decoded->compare(0, root->size(), *root) != 0 ||
        isHiddenBelow(*decoded, *root))
        return refused(404, "Not Found");
    // Documents, frames and scripts' own reads never come here.
    if (!isShownResource(request.destination))
        return refused(403, "Forbidden");

    const int file = ::open(decoded->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return refused(404, "Not Found");
    response.file = file;
    if (::fstat(file, &info) != 0 || !S_ISREG(info.st_mode))
        return refused(404, "Not Found");
    // A link inside the tree may lead out of it, or to a hidden entry of it.
    const std::string realRoot = resolvedFolder(*root);
    const std::string realPath = pathOfOpenFile(file);
    if (realPath.compare(0, realRoot.size(), realRoot) != 0 || isHiddenBelow(realPath, realRoot))
        return refused(404, "Not Found");
    path = *decoded;
    return true;
}

namespace {

// A peer that goes away while it is sent a file must not end the program.
void ignoreBrokenPipesOnThisThread()
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

struct Connection {
    int socket = -1;
    std::uint32_t watched = EPOLLIN;
    // Reading a request head, or sending an answer.
    bool sending = false;
    bool peerClosed = false;
    bool done = false;
    std::string input;  // what came and is not answered yet
    std::string output; // what is left of the answer's head
    std::unique_ptr<Response> response;
    Clock::time_point waitingSince; // for a request head
    Clock::time_point deadline;     // for a whole head, or for taking more of the answer
};

} // namespace

// One thread's connections, each read and written without blocking, as epoll says they can be.
class LoopbackFileServer::Shared::Loop {
public:
    explicit Loop(Shared& shared) : shared(shared)
    {
        epoll = ::epoll_create1(EPOLL_CLOEXEC);
        waker = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        // Each new connection wakes one thread only.
        epoll_event listening{EPOLLIN | EPOLLEXCLUSIVE, {.fd = shared.listener}};
        epoll_event waking{EPOLLIN, {.fd = waker}};
        ready = epoll >= 0 && waker >= 0 &&
                ::epoll_ctl(epoll, EPOLL_CTL_ADD, shared.listener, &listening) == 0 &&
                ::epoll_ctl(epoll, EPOLL_CTL_ADD, waker, &waking) == 0;
    }

    ~Loop()
    {
        for (const auto& [socket, connection] : connections)
            ::close(socket);
        if (epoll >= 0)
            ::close(epoll);
        if (waker >= 0)
            ::close(waker);
    }

    bool isReady() const { return ready; }

    void wake()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(waker, &one, sizeof one);
    }

    void run()
    {
        ignoreBrokenPipesOnThisThread();
        std::array<epoll_event, 64> events;
        while (!shared.stopping) {
            const int count = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()),
                                           millisecondsToNextDeadline());
            if (count < 0 && errno != EINTR)
                break;
            for (int i = 0; i < count; ++i) {
                const int fd = events[static_cast<std::size_t>(i)].data.fd;
                if (fd == waker)
                    continue;
                if (fd == shared.listener) {
                    acceptAll();
                    continue;
                }
                const auto found = connections.find(fd);
                if (found != connections.end())
                    serve(found->second);
            }
            closeOverdue();
        }
    }

private:
    void acceptAll()
    {
        while (true) {
            const int socket =
                ::accept4(shared.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (socket < 0) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                // Out of file descriptors: a waiting connection makes room, else wait a little
                // rather than be woken again at once.
                if ((errno == EMFILE || errno == ENFILE) && closeLongestWaiting())
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return;
            }
            // Full: the connection that has waited longest for a request goes, so that idle
            // connections of other processes never keep the viewer's own out.
            if (connections.size() >= connectionsPerThread && !closeLongestWaiting()) {
                ::close(socket);
                continue;
            }
            const int noDelay = 1;
            ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
            epoll_event event{EPOLLIN, {.fd = socket}};
            if (::epoll_ctl(epoll, EPOLL_CTL_ADD, socket, &event) != 0) {
                ::close(socket);
                continue;
            }
            Connection& connection = connections[socket];
            connection.socket = socket;
            waitForRequest(connection, Clock::now());
        }
    }

    bool closeLongestWaiting()
    {
        auto longest = connections.end();
        for (auto it = connections.begin(); it != connections.end(); ++it)
            if (!it->second.sending && (longest == connections.end() ||
                                        it->second.waitingSince < longest->second.waitingSince))
                longest = it;
        if (longest == connections.end())
            return false;
        close(longest);
        return true;
    }

    void close(std::unordered_map<int, Connection>::iterator connection)
    {
        // Closing removes it from the epoll set too.
        ::close(connection->first);
        connections.erase(connection);
    }

    static void waitForRequest(Connection& connection, Clock::time_point now)
    {
        connection.sending = false;
        connection.waitingSince = now;
        connection.deadline = now + headDeadline;
    }

    void serve(Connection& connection)
    {
        if (connection.sending)
            send(connection);
        else
            receive(connection);
        while (!connection.done && !connection.sending && takeRequest(connection))
            send(connection);
        if (!connection.done && !connection.sending && connection.peerClosed)
            connection.done = true;
        if (connection.done) {
            close(connections.find(connection.socket));
            return;
        }
        watch(connection, connection.sending ? EPOLLOUT : EPOLLIN);
    }

    void watch(Connection& connection, std::uint32_t events)
    {
        if (connection.watched == events)
            return;
        epoll_event event{events, {.fd = connection.socket}};
        if (::epoll_ctl(epoll, EPOLL_CTL_MOD, connection.socket, &event) == 0)
            connection.watched = events;
        else
            connection.done = true;
    }

    static void receive(Connection& connection)
    {
        std::array<char, 4096> buffer;
        while (connection.input.size() <= maxHeadSize) {
            const ssize_t n = ::recv(connection.socket, buffer.data(), buffer.size(), 0);
            if (n > 0) {
                connection.input.append(buffer.data(), static_cast<std::size_t>(n));
                continue;
            }
            if (n == 0)
                connection.peerClosed = true;
            else if (errno == EINTR)
                continue;
            else if (errno != EAGAIN && errno != EWOULDBLOCK)
                connection.done = true;
            return;
        }
    }

    // Starts the answer to the request head that has come whole, if one has.
    bool takeRequest(Connection& connection) const
    {
        const auto end = connection.input.find("\r\n\r\n");
        if (end == std::string::npos) {
            if (connection.input.size() > maxHeadSize)
                connection.done = true;
            return false;
        }
        if (end > maxHeadSize) {
            connection.done = true;
            return false;
        }
        const std::string head = connection.input.substr(0, end + 2);
        connection.input.erase(0, end + 4);
        auto response = std::make_unique<Response>();
        shared.answer(head, *response);
        const off_t length = response->status >= 400 ? 0 : response->length;
        connection.output = "HTTP/1.1 " + std::to_string(response->status) + " " +
                            response->reason + "\r\n" + response->headers +
                            "Content-Length: " + std::to_string(length) +
                            "\r\nCache-Control: no-store\r\n" +
                            (response->keepAlive ? "" : "Connection: close\r\n") + "\r\n";
        // From here on, what is left to send of the file.
        response->length = response->withBody ? length : 0;
        connection.response = std::move(response);
        connection.sending = true;
        connection.deadline = Clock::now() + stallDeadline;
        return true;
    }

    // Sends what the peer takes now, a slice of the file at most; on the end of the answer, waits
    // for the next request.
    static void send(Connection& connection)
    {
        Response& response = *connection.response;
        const Clock::time_point now = Clock::now();
        while (!connection.output.empty()) {
            const int more = response.length > 0 ? MSG_MORE : 0;
            const ssize_t n = ::send(connection.socket, connection.output.data(),
                                     connection.output.size(), MSG_NOSIGNAL | more);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                connection.done = errno != EAGAIN && errno != EWOULDBLOCK;
                return;
            }
            connection.output.erase(0, static_cast<std::size_t>(n));
            connection.deadline = now + stallDeadline;
        }
        off_t sent = 0;
        while (response.length > 0) {
            if (sent >= sendSlice)
                return;
            const ssize_t n = ::sendfile(
                connection.socket, response.file, &response.offset,
                static_cast<std::size_t>(std::min<off_t>(response.length, sendSlice - sent)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                connection.done = errno != EAGAIN && errno != EWOULDBLOCK;
                return;
            }
            // The file became shorter than the length promised: the answer cannot be finished.
            if (n == 0) {
                connection.done = true;
                return;
            }
            response.length -= n;
            sent += n;
            connection.deadline = now + stallDeadline;
        }
        const bool keepAlive = response.keepAlive;
        connection.response.reset();
        if (!keepAlive)
            connection.done = true;
        else
            waitForRequest(connection, now);
    }

    void closeOverdue()
    {
        const Clock::time_point now = Clock::now();
        for (auto it = connections.begin(); it != connections.end();) {
            const auto next = std::next(it);
            if (it->second.deadline <= now)
                close(it);
            it = next;
        }
    }

    int millisecondsToNextDeadline() const
    {
        if (connections.empty())
            return -1;
        Clock::time_point next = Clock::time_point::max();
        for (const auto& [socket, connection] : connections)
            next = std::min(next, connection.deadline);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, 60 * 1000));
    }

    Shared& shared;
    int epoll = -1;
    int waker = -1;
    bool ready = false;
    std::unordered_map<int, Connection> connections;
};

LoopbackFileServer::Shared::~Shared()
{
    // The loops close their connections, then the socket they listened on goes.
    loops.clear();
    if (listener >= 0)
        ::close(listener);
}

LoopbackFileServer::LoopbackFileServer(RootLookup rootOf) : shared(std::make_shared<Shared>())
{
    pathSecret = randomHexDigits(32);
    shared->rootOf = std::move(rootOf);
    shared->secret = pathSecret;
    requestKey = randomHexDigits(32);
    shared->key = requestKey;

    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0)
        return;
    shared->listener = listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 128) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return;
    const int port = ntohs(address.sin_port);
    shared->hostHeader = "127.0.0.1:" + std::to_string(port);

    for (int i = 0; i < servingThreads; ++i) {
        shared->loops.push_back(std::make_unique<Shared::Loop>(*shared));
        Shared::Loop* loop = shared->loops.back().get();
        if (!loop->isReady()) {
            shared->loops.pop_back();
            break;
        }
        {
            const std::lock_guard lock(shared->mutex);
            ++shared->running;
        }
        const auto stopped = [](Shared& state) {
            {
                const std::lock_guard lock(state.mutex);
                --state.running;
            }
            state.allStopped.notify_all();
        };
        try {
            // Each thread keeps what it uses alive, should it outlast the server.
            shared->threads.emplace_back([state = shared, loop, stopped] {
                loop->run();
                stopped(*state);
            });
        } catch (const std::system_error&) {
            stopped(*shared);
            shared->loops.pop_back();
            break;
        }
    }
    // Without a thread to serve it, the port is not given out.
    if (!shared->loops.empty())
        listeningPort = port;
}

LoopbackFileServer::~LoopbackFileServer()
{
    shared->stopping = true;
    for (const auto& loop : shared->loops)
        loop->wake();
    std::unique_lock lock(shared->mutex);
    // A thread held up by a file system that does not answer is left to end on its own.
    const bool allStopped = shared->allStopped.wait_for(lock, std::chrono::seconds(5),
                                                        [this] { return shared->running == 0; });
    lock.unlock();
    for (std::thread& thread : shared->threads) {
        if (allStopped)
            thread.join();
        else
            thread.detach();
    }
}
