#include "platform/viewer/loopback_file_server.h"

#include "platform/viewer/content_types.h"

#include <QRandomGenerator>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t maxHeadSize = 16 * 1024;
constexpr std::size_t maxConnections = 64;

struct Request {
    std::string method;
    std::string target;
    std::string host;        // as the engine wrote the address, port included
    std::string destination; // Sec-Fetch-Dest, set by the engine itself, never by a script
    std::string range;
};

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

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
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = lowerCase(line.substr(0, colon));
        const std::string value = trimmed(line.substr(colon + 1));
        if (name == "host")
            request.host = value;
        else if (name == "sec-fetch-dest")
            request.destination = lowerCase(value);
        else if (name == "range")
            request.range = value;
    }
    if (first)
        return std::nullopt;
    return request;
}

std::optional<std::string> percentDecoded(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            result.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        result.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
        i += 2;
    }
    if (result.find('\0') != std::string::npos)
        return std::nullopt;
    return result;
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
    std::string result = folder;
    if (char* real = ::realpath(folder.c_str(), nullptr)) {
        result = real;
        std::free(real);
    }
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
    const std::string from = trimmed(bounds.substr(0, dash));
    const std::string to = trimmed(bounds.substr(dash + 1));
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

} // namespace

struct LoopbackFileServer::Shared {
    RootLookup rootOf;
    std::string secret;
    std::string hostHeader; // the only address by which the viewer asks: "127.0.0.1:PORT"
    std::mutex mutex;
    std::condition_variable allClosed;
    std::set<int> connections;
    bool stopping = false;

    void answer(const std::string& head, Response& response) const;
    void serve(int connection);
};

struct LoopbackFileServer::Thread {
    std::thread thread;
};

void LoopbackFileServer::Shared::answer(const std::string& head, Response& response) const
{
    const std::optional<Request> request = parseHead(head);
    if (!request)
        return refuse(response, 400, "Bad Request");
    if (request->method != "GET" && request->method != "HEAD")
        return refuse(response, 405, "Method Not Allowed");
    response.withBody = request->method == "GET";
    // Any other name of this machine is a request the viewer never makes.
    if (request->host != hostHeader)
        return refuse(response, 404, "Not Found");
    // /SECRET/HOST/path
    std::string target = request->target.substr(0, request->target.find('?'));
    const auto hostStart = target.find('/', 1);
    const auto pathStart =
        hostStart == std::string::npos ? std::string::npos : target.find('/', hostStart + 1);
    if (target.empty() || target.front() != '/' || pathStart == std::string::npos ||
        !sameSecret(target.substr(1, hostStart - 1), secret))
        return refuse(response, 404, "Not Found");
    const std::string host = target.substr(hostStart + 1, pathStart - hostStart - 1);
    const std::optional<std::string> path = percentDecoded(target.substr(pathStart));
    const std::optional<std::string> root = rootOf(host);
    if (!path || !root || !isPlainAbsolutePath(*path) || root->empty() || root->back() != '/' ||
        path->compare(0, root->size(), *root) != 0)
        return refuse(response, 404, "Not Found");
    // Documents, frames and scripts' own reads never come here.
    if (!isShownResource(request->destination))
        return refuse(response, 403, "Forbidden");

    const int file = ::open(path->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return refuse(response, 404, "Not Found");
    response.file = file;
    struct stat info;
    if (::fstat(file, &info) != 0 || !S_ISREG(info.st_mode))
        return refuse(response, 404, "Not Found");
    // A link inside the tree may lead out of it.
    const std::string realRoot = resolvedFolder(*root);
    if (pathOfOpenFile(file).compare(0, realRoot.size(), realRoot) != 0)
        return refuse(response, 404, "Not Found");

    response.headers = "Content-Type: " + contentTypeFor(*path) + "\r\n";
    response.headers += "X-Content-Type-Options: nosniff\r\n";
    // What a style sheet asks of the web does not tell it this server's address.
    response.headers += "Referrer-Policy: no-referrer\r\n";
    response.headers += "Accept-Ranges: bytes\r\n";
    // A font from another origin is used only when its server allows it. Fonts are never readable
    // by a script, and no other kind gets this answer.
    if (request->destination == "font")
        response.headers += "Access-Control-Allow-Origin: *\r\n";
    response.length = info.st_size;
    applyRange(response, request->range, info.st_size);
}

namespace {

bool sendAll(int connection, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> readHead(int connection)
{
    std::string head;
    std::array<char, 4096> buffer;
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (head.size() > maxHeadSize)
            return std::nullopt;
        const ssize_t n = ::recv(connection, buffer.data(), buffer.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        head.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return head.substr(0, head.find("\r\n\r\n") + 2);
}

void setTimeout(int connection, int option, int seconds)
{
    timeval timeout{seconds, 0};
    ::setsockopt(connection, SOL_SOCKET, option, &timeout, sizeof timeout);
}

// A peer that goes away while it is sent a file must not end the program.
void ignoreBrokenPipesOnThisThread()
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

} // namespace

void LoopbackFileServer::Shared::serve(int connection)
{
    ignoreBrokenPipesOnThisThread();
    setTimeout(connection, SO_RCVTIMEO, 10);
    setTimeout(connection, SO_SNDTIMEO, 30);
    if (const std::optional<std::string> head = readHead(connection)) {
        Response response;
        answer(*head, response);
        const off_t length = response.status >= 400 ? 0 : response.length;
        const std::string headers = "HTTP/1.1 " + std::to_string(response.status) + " " +
                                    response.reason + "\r\n" + response.headers +
                                    "Content-Length: " + std::to_string(length) +
                                    "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
        if (sendAll(connection, headers) && response.withBody && length > 0) {
            off_t offset = response.offset;
            off_t left = length;
            while (left > 0) {
                const ssize_t n =
                    ::sendfile(connection, response.file, &offset,
                               static_cast<std::size_t>(std::min<off_t>(left, 1 << 20)));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                left -= n;
            }
        }
    }
    {
        // Forgotten before it is closed, so that stopping never touches a number reused since.
        const std::lock_guard lock(mutex);
        connections.erase(connection);
        ::close(connection);
    }
    allClosed.notify_all();
}

LoopbackFileServer::LoopbackFileServer(RootLookup rootOf)
    : shared(std::make_shared<Shared>()), acceptThread(std::make_unique<Thread>())
{
    std::array<quint32, 4> words;
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    static const char digits[] = "0123456789abcdef";
    for (const quint32 word : words)
        for (int shift = 28; shift >= 0; shift -= 4)
            pathSecret.push_back(digits[(word >> shift) & 0xF]);
    shared->rootOf = std::move(rootOf);
    shared->secret = pathSecret;

    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 64) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(listener);
        listener = -1;
        return;
    }
    listeningPort = ntohs(address.sin_port);
    shared->hostHeader = "127.0.0.1:" + std::to_string(listeningPort);
    acceptThread->thread = std::thread([this] { acceptLoop(); });
}

void LoopbackFileServer::acceptLoop()
{
    ignoreBrokenPipesOnThisThread();
    while (true) {
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        std::unique_lock lock(shared->mutex);
        if (shared->stopping) {
            if (connection >= 0)
                ::close(connection);
            return;
        }
        if (connection < 0) {
            lock.unlock();
            if (errno != EINTR && errno != ECONNABORTED)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        if (shared->connections.size() >= maxConnections) {
            ::close(connection);
            continue;
        }
        shared->connections.insert(connection);
        lock.unlock();
        try {
            std::thread([state = shared, connection] { state->serve(connection); }).detach();
        } catch (const std::system_error&) {
            // No thread to be had now: this picture stays blank, the next one may show.
            const std::lock_guard relock(shared->mutex);
            shared->connections.erase(connection);
            ::close(connection);
        }
    }
}

LoopbackFileServer::~LoopbackFileServer()
{
    if (listener < 0)
        return;
    {
        const std::lock_guard lock(shared->mutex);
        shared->stopping = true;
    }
    // Wakes the accepting thread.
    ::shutdown(listener, SHUT_RDWR);
    acceptThread->thread.join();
    ::close(listener);
    std::unique_lock lock(shared->mutex);
    for (const int connection : shared->connections)
        ::shutdown(connection, SHUT_RDWR);
    // The threads keep what they use alive; waiting only lets them finish before the program ends.
    shared->allClosed.wait_for(lock, std::chrono::seconds(5),
                               [this] { return shared->connections.empty(); });
}
