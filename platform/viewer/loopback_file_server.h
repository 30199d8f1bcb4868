#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

// A small HTTP server on 127.0.0.1 that hands a page the pictures, style sheets, scripts, fonts and
// media of its folder tree. Coming from an origin other than the page's, they show, but the page's
// scripts cannot read them (canvas tainted, rules of a style sheet refused, errors of a script
// muted). It serves nobody else: a random port, an unguessable secret in every path (other local
// accounts may connect to a loopback port) and a key in a header that only the viewer sends (a page
// can learn the path of its pictures, and hand it on), only regular files inside the folder tree of
// the document named in the path (none of its hidden entries), only as subresources (never as a
// document, never to a script's fetch), each with the type its extension gives and no sniffing,
// only to the address by which the viewer asks (no other name of this machine), GET and HEAD only,
// no folder listing.
//
// Connections stay open for the next request (HTTP/1.1 keep-alive) and are served by two threads,
// each watching its connections with epoll and sending files with sendfile. Connections from other
// local processes cannot hold the pictures back: a connection must send a whole request head
// within two seconds of opening or of its previous answer, and when a thread has as many
// connections as it keeps, a new one makes the one that has waited longest for a request go.
//
// Paths: /SECRET/HOST/path, the path percent-encoded byte by byte, HOST a document host whose
// folder tree `rootOf` gives.
class LoopbackFileServer {
public:
    using RootLookup = std::function<std::optional<std::string>(const std::string& host)>;

    explicit LoopbackFileServer(RootLookup rootOf);
    ~LoopbackFileServer();
    LoopbackFileServer(const LoopbackFileServer&) = delete;
    LoopbackFileServer& operator=(const LoopbackFileServer&) = delete;

    // 0 when the server could not start: pages then show without their local resources.
    int port() const { return listeningPort; }
    const std::string& secret() const { return pathSecret; }
    // The key that every request must carry, as its "Content-Language" header (a header that the
    // engine sends without a preflight; its value is free enough for hexadecimal digits).
    const std::string& key() const { return requestKey; }

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
    std::string pathSecret;
    std::string requestKey;
    int listeningPort = 0;
};
