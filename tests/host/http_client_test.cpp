// The HTTP client against a scripted local server (tests/server): the exact
// request bytes, the decision on every kind of answer, body framing and
// progress events, Disconnect, and the time-outs of both programs.
#include "core/http_client.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/memory_stream.h"
#include "core/update_url.h"

extern char** environ;

namespace {

using core::HttpClient;
using core::HttpClientSettings;

// ---------------------------------------------------------------------------
// Script building: the server's answers as JSON.

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);  // the server sends code points as bytes
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

struct Piece {
    Piece(std::string b) : bytes(std::move(b)) {}
    Piece(const char* b) : bytes(b) {}
    std::string bytes;
    double sleep = -1;  // >= 0: a pause instead of bytes
    bool repeat = false;  // the bytes over and over until the client closes
};
Piece Pause(double seconds) {
    Piece p("");
    p.sleep = seconds;
    return p;
}
Piece Endless(const std::string& text) {
    Piece p(text);
    p.repeat = true;
    return p;
}

// One answer sent exactly as given; after: keep, close, reset or hang.
std::string Raw(const std::vector<Piece>& pieces, const std::string& after = "keep") {
    std::string out = "{\"send\": [";
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i) out += ", ";
        if (pieces[i].sleep >= 0)
            out += "{\"sleep\": " + std::to_string(pieces[i].sleep) + "}";
        else if (pieces[i].repeat)
            out += "{\"repeat\": " + Json(pieces[i].bytes) + "}";
        else
            out += Json(pieces[i].bytes);
    }
    return out + "], \"after\": " + Json(after) + "}";
}

std::string Script(const std::vector<std::string>& answers) {
    std::string out = "{\"answers\": [";
    for (size_t i = 0; i < answers.size(); ++i) out += (i ? ", " : "") + answers[i];
    return out + "]}";
}

std::string Ok(const std::string& body, const std::string& extraHeaders = "") {
    return "HTTP/1.1 200 OK\r\n" + extraHeaders + "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string Chunked(const std::vector<std::string>& chunks) {
    std::string out = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const std::string& c : chunks) {
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", c.size());
        out += size + c + "\r\n";
    }
    return out + "0\r\n\r\n";
}

// ---------------------------------------------------------------------------
// The server process.

struct LoggedRequest {
    int connection;
    std::string raw;
};

class TestServer {
public:
    explicit TestServer(const std::string& script, const char* mode = "serve", int port = 0) {
        char dirTemplate[] = "/tmp/scourly-http-XXXXXX";
        const char* dir = mkdtemp(dirTemplate);
        if (!dir) throw std::runtime_error("mkdtemp failed");
        dir_ = dir;
        scriptPath_ = dir_ + "/script.json";
        logPath_ = dir_ + "/requests.log";
        std::ofstream(scriptPath_) << script;

        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::string serverPath = std::string(SCOURLY_SOURCE_DIR) + "/tests/server/http_test_server.py";
        std::vector<std::string> args = {"/usr/bin/python3", serverPath, "--port", std::to_string(port),
                                         "--script", scriptPath_, "--log", logPath_,
                                         "--mode", mode};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            throw std::runtime_error("cannot start the test server");
        }

        // The server says "LISTENING <port>" once it accepts connections.
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (line.find('\n') == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            pollfd p{fds[0], POLLIN, 0};
            char buf[64];
            ssize_t n = 0;
            if (left <= 0 || poll(&p, 1, int(left)) <= 0 || (n = read(fds[0], buf, sizeof buf)) <= 0)
                break;
            line.append(buf, size_t(n));
        }
        close(fds[0]);
        if (std::sscanf(line.c_str(), "LISTENING %d", &port_) != 1)
            throw std::runtime_error("test server did not start: " + line);
    }

    ~TestServer() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        unlink(scriptPath_.c_str());
        unlink(logPath_.c_str());
        rmdir(dir_.c_str());
    }

    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(const std::string& path) const { return "http://" + HostPort() + path; }

    std::vector<LoggedRequest> Requests() const {
        std::ifstream in(logPath_, std::ios::binary);
        std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<LoggedRequest> out;
        size_t pos = 0;
        while (pos < log.size()) {
            size_t eol = log.find('\n', pos);
            int connection = 0;
            size_t length = 0;
            if (eol == std::string::npos ||
                std::sscanf(log.c_str() + pos, "REQUEST %d %zu", &connection, &length) != 2)
                break;
            out.push_back({connection, log.substr(eol + 1, length)});
            pos = eol + 1 + length + 1;
        }
        return out;
    }

private:
    std::string dir_, scriptPath_, logPath_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// ---------------------------------------------------------------------------
// Helpers on the client side.

std::string Text(const core::MemoryStream& s) {
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

core::MemoryStream Holding(const std::string& text) {
    return core::MemoryStream(std::vector<uint8_t>(text.begin(), text.end()));
}

// A destination starts as "OLD" at position 0: what shows through tells
// exactly which bytes the download wrote, and that a failed answer wrote none.
std::string OverOld(const std::string& written) {
    return written + std::string("OLD").substr(std::min<size_t>(written.size(), 3));
}

// The events of one Get, condensed: every body as "[expected:last so far]".
// Anything out of order shows up as "!" in the text.
class EventLog {
public:
    explicit EventLog(HttpClient& client) {
        client.OnWorkBegin = [this](int64_t expected) {
            if (open_) text_ += "!begin";
            open_ = true;
            last_ = 0;
            text_ += "[" + std::to_string(expected) + ":";
        };
        client.OnWork = [this](int64_t soFar) {
            if (!open_ || soFar <= last_) text_ += "!work";
            last_ = soFar;
        };
        client.OnWorkEnd = [this] {
            if (!open_) text_ += "!end";
            open_ = false;
            text_ += std::to_string(last_) + "]";
        };
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    bool open_ = false;
    int64_t last_ = 0;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Settings for the fast tests: limits long enough never to be reached.
HttpClientSettings Patient() {
    HttpClientSettings s;
    s.connectTimeoutMs = 10000;
    s.readTimeoutMs = 10000;
    return s;
}

// The whole head, in the order the server is to see it.
std::string RequestHead(const std::string& target, const std::string& hostPort,
                        const std::string& cookie = "") {
    return "GET " + target + " HTTP/1.1\r\n"
           "Content-Type: text/html\r\n"
           "Host: " + hostPort + "\r\n"
           "Accept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n" +
           (cookie.empty() ? "" : "Cookie: " + cookie + "\r\n") +
           "\r\n";
}

// One download over "OLD": whether it succeeds, what it writes, its events.
void ExpectDownload(const std::string& script, const HttpClientSettings& settings, bool ok,
                    const std::string& written, const std::string& events) {
    TestServer server(script);
    HttpClient client(settings);
    EventLog log(client);
    core::MemoryStream dest = Holding("OLD");
    bool succeeded = true;
    try {
        client.Get(server.Url("/f"), dest);
    } catch (const core::Error&) {
        succeeded = false;
    }
    EXPECT_EQ(succeeded, ok);
    EXPECT_EQ(Text(dest), OverOld(written));
    EXPECT_EQ(log.Text(), events);
}

// ---------------------------------------------------------------------------

TEST(HttpUrl, SplitsWhatTheRequestNeeds) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* hostHeader;
        const char* target;
    } cases[] = {
        {"http://update.example/a/b.ini", "update.example", 80, "update.example", "/a/b.ini"},
        {"http://Update.Example:8080/x?y=1#part", "Update.Example", 8080, "Update.Example:8080", "/x?y=1"},
        {"HTTP://h:80/x", "h", 80, "h", "/x"},
        {"http://h:/x", "h", 80, "h", "/x"},
        {"http://user:secret@h:81/x", "h", 81, "h:81", "/x"},
        {"http://h", "h", 80, "h", "/"},
        {"http://h?q=1", "h", 80, "h", "/?q=1"},
        {"http://h#top", "h", 80, "h", "/"},
        {"http://h/a/../b%41 c", "h", 80, "h", "/a/../b%41 c"},
        {"http://[::1]:8080/v", "[::1]", 8080, "[::1]:8080", "/v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        core::HttpUrl u = core::ParseHttpUrl(c.url);
        EXPECT_EQ(u.host, c.host);
        EXPECT_EQ(u.port, c.port);
        EXPECT_EQ(u.hostHeader, c.hostHeader);
        EXPECT_EQ(u.target, c.target);
    }
}

TEST(HttpUrl, RefusesAnythingButPlainHttp) {
    const char* bad[] = {
        "https://h/x", "ftp://h/x", "file:///etc/passwd", "h/x", "http:///x",
        "http://h:0/x", "http://h:65536/x", "http://h:8a/x", "http://[::1/x",
        "http://h/x\r\nX-Injected: 1",
    };
    for (const char* url : bad) {
        SCOPED_TRACE(url);
        EXPECT_THROW(core::ParseHttpUrl(url), core::Error);
    }
}

// ---------------------------------------------------------------------------

TEST(HttpRequest, TwoGetsShareOneConnectionWithExactHeadersAndTheCookie) {
    TestServer server(Script({
        Raw({Ok("one", "Set-Cookie: sid=42; Path=/dir\r\n")}),
        Raw({Ok("two")}),
        Raw({Ok("three")}),
    }));
    HttpClient client(Patient());
    core::MemoryStream first, second, third;
    client.Get(server.Url("/dir/a.txt?x=1"), first);
    client.Get(server.Url("/dir/sub/b.txt"), second);
    // Disconnect between downloads closes the kept connection.
    client.Disconnect();
    client.Get(server.Url("/other"), third);

    EXPECT_EQ(Text(first), "one");
    EXPECT_EQ(Text(second), "two");
    EXPECT_EQ(Text(third), "three");
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].raw, RequestHead("/dir/a.txt?x=1", server.HostPort()));
    EXPECT_EQ(requests[1].raw, RequestHead("/dir/sub/b.txt", server.HostPort(), "sid=42"));
    EXPECT_EQ(requests[2].raw, RequestHead("/other", server.HostPort()));
    EXPECT_EQ(requests[0].connection, 1);
    EXPECT_EQ(requests[1].connection, 1);
    EXPECT_EQ(requests[2].connection, 2);
}

TEST(HttpRequest, ConnectionIsKeptUnlessTheAnswerSaysClose) {
    struct Case {
        const char* name;
        const char* header;
        bool kept;
    } cases[] = {
        {"nothing said", "", true},
        {"keep-alive", "Connection: keep-alive\r\n", true},
        {"close", "Connection: close\r\n", false},
        {"close in another case, with blanks", "Connection:   CLOSE  \r\n", false},
        {"proxy close", "Proxy-Connection: close\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The server itself leaves the connection open either way.
        TestServer server(Script({Raw({Ok("1", c.header)}), Raw({Ok("2")})}));
        HttpClient client(Patient());
        core::MemoryStream dest;
        client.Get(server.Url("/a"), dest);
        client.Get(server.Url("/b"), dest);
        std::vector<LoggedRequest> requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].connection == requests[1].connection, c.kept);
    }
}

TEST(HttpRequest, FoldedFirstHeaderLineFailsOnlyItsOwnDownload) {
    // curl keeps the last header of a transfer to append folded lines to;
    // a later download on the same client must not reach the earlier one's.
    TestServer server(Script({
        Raw({Ok("one", "X-First: 1\r\n")}),
        Raw({"HTTP/1.1 200 OK\r\n X-Folded: a\r\nContent-Length: 3\r\n\r\ntwo"}),
        Raw({"HTTP/1.1 200 OK\r\n\tfolded\r\nContent-Length: 3\r\n\r\ntwo"}),
        Raw({Ok("four")}),
    }));
    HttpClient client(Patient());
    EventLog events(client);
    core::MemoryStream first, second = Holding("OLD"), third = Holding("OLD"), fourth;
    client.Get(server.Url("/1"), first);
    EXPECT_THROW(client.Get(server.Url("/2"), second), core::Error);
    EXPECT_THROW(client.Get(server.Url("/3"), third), core::Error);
    client.Get(server.Url("/4"), fourth);
    EXPECT_EQ(Text(first), "one");
    EXPECT_EQ(Text(second), "OLD");
    EXPECT_EQ(Text(third), "OLD");
    EXPECT_EQ(Text(fourth), "four");
    EXPECT_EQ(events.Text(), "[3:3][4:4]");
}

TEST(HttpRequest, SendsOnlyTheCookiesThatMatch) {
    struct Case {
        const char* name;
        const char* firstStatus;
        const char* setCookie;
        const char* secondPath;
        const char* cookie;  // "" = no Cookie header
        const char* orCookie;  // the same cookies in the other order
    } cases[] = {
        {"same path", "200 OK", "a=1; Path=/dir", "/dir/y", "a=1", ""},
        {"set by a failed answer", "404 Not Found", "a=1; Path=/dir", "/dir/y", "a=1", ""},
        {"two cookies", "200 OK", "a=1; Path=/dir\r\nSet-Cookie: b=2; Path=/dir", "/dir/y", "a=1; b=2",
         "b=2; a=1"},
        {"other path", "200 OK", "a=1; Path=/dir", "/elsewhere/y", "", ""},
        {"expired", "200 OK", "a=1; Path=/dir; Expires=Thu, 01 Jan 1970 00:00:00 GMT", "/dir/y", "", ""},
        {"secure", "200 OK", "a=1; Path=/dir; Secure", "/dir/y", "", ""},
        {"secure beside a plain one", "200 OK", "a=1; Path=/dir; Secure\r\nSet-Cookie: b=2; Path=/dir",
         "/dir/y", "b=2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string first = std::string("HTTP/1.1 ") + c.firstStatus +
                            "\r\nSet-Cookie: " + c.setCookie + "\r\nContent-Length: 0\r\n\r\n";
        TestServer server(Script({Raw({first}), Raw({Ok("x")})}));
        HttpClient client(Patient());
        core::MemoryStream dest;
        try {
            client.Get(server.Url("/dir/x"), dest);
        } catch (const core::Error&) {
            // The 404 case: the download fails, its cookie is still kept.
        }
        client.Get(server.Url(c.secondPath), dest);
        std::vector<LoggedRequest> requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u);
        if (*c.orCookie && requests[1].raw == RequestHead(c.secondPath, server.HostPort(), c.orCookie))
            continue;
        EXPECT_EQ(requests[1].raw, RequestHead(c.secondPath, server.HostPort(), c.cookie));
    }
}

// The header lines of a first answer to /dir/x, the last ones of its head,
// and the Cookie line (or none) of the next request.
struct CookieLinesCase {
    const char* name;
    const char* headers;
    const char* secondPath;
    const char* cookie;  // "" = no Cookie header
};

void ExpectCookieLine(const CookieLinesCase& c) {
    SCOPED_TRACE(c.name);
    const std::string first = std::string("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n") + c.headers + "\r\n1";
    TestServer server(Script({Raw({first}), Raw({Ok("2")})}));
    HttpClient client(Patient());
    core::MemoryStream dest;
    client.Get(server.Url("/dir/x"), dest);
    client.Get(server.Url(c.secondPath), dest);
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].raw, RequestHead(c.secondPath, server.HostPort(), c.cookie));
}

TEST(HttpRequest, SetCookie2LinesAreTakenLikeSetCookie) {
    const CookieLinesCase cases[] = {
        {"one cookie", "Set-Cookie2: a=1; Version=1; Path=/dir\r\n", "/dir/y", "a=1"},
        {"name in lower case", "set-cookie2: a=1; Version=1\r\n", "/dir/y", "a=1"},
        {"name in upper case", "SET-COOKIE2: a=1; Version=1\r\n", "/dir/y", "a=1"},
        {"two in one line, quoted values kept as sent",
         "Set-Cookie2: a=\"x, y\"; Version=\"1\"; Path=\"/dir\", b=2; Version=1\r\n", "/dir/y",
         "a=\"x, y\"; b=2"},
        {"quoted path", "Set-Cookie2: a=1; Version=1; Path=\"/dir\"\r\n", "/other/y", ""},
        {"beside a Set-Cookie line", "Set-Cookie: a=1\r\nSet-Cookie2: b=2; Version=1\r\n", "/dir/y", "a=1; b=2"},
        {"one replaces the other's cookie", "Set-Cookie: a=1\r\nSet-Cookie2: a=2; Version=1\r\n", "/dir/y",
         "a=2"},
        {"port: the request's", "Set-Cookie2: a=1; Version=1; Port\r\n", "/dir/y", "a=1"},
        {"port: another one only", "Set-Cookie2: a=1; Version=1; Port=\"9\"\r\n", "/dir/y", ""},
        {"another header", "Set-Cookie2x: a=1\r\nSet-Cookie3: b=2\r\n", "/dir/y", ""},
        {"a semicolon in a quoted value", "Set-Cookie2: a=\"1; X-Injected: 1\"; Version=1\r\n", "/dir/y", ""},
        {"a quote left open", "Set-Cookie2: b=2, a=\"1\r\nX-Injected: 1\"\r\n", "/dir/y", ""},
        {"a CR in a quoted value", "Set-Cookie2: a=\"1\rX-Injected: 1\"; Version=1\r\n", "/dir/y", ""},
    };
    for (const CookieLinesCase& c : cases) ExpectCookieLine(c);
}

// A folded line continues the cookie line before it: the cookie is what the
// whole line says, never what its first part alone said.
TEST(HttpRequest, ACookieLineIsTakenWithItsFoldedLines) {
    const CookieLinesCase cases[] = {
        {"a domain of another host", "Set-Cookie: a=1\r\n ; Domain=other.example\r\n", "/dir/y", ""},
        {"a port of another", "Set-Cookie2: a=1; Version=1\r\n\t; Port=\"9\"\r\n", "/dir/y", ""},
        {"another path", "Set-Cookie: a=1\r\n ; Path=/other\r\n", "/dir/y", ""},
        {"a quote closed", "Set-Cookie2: a=\"1,\r\n 2\", b=3\r\n", "/dir/y", "a=\"1, 2\"; b=3"},
        {"then another header", "Set-Cookie: a=1;\r\n Path=/dir/y\r\nX-After: 1\r\n", "/dir/y", "a=1"},
        {"then another cookie", "Set-Cookie: a=1\r\n ; Path=/other\r\nSet-Cookie: b=2\r\n", "/dir/y", "b=2"},
    };
    for (const CookieLinesCase& c : cases) ExpectCookieLine(c);
}

// An answer whose length is no number is asked for again (HttpOutcome); the
// second request is a later one and carries what the first answer set.
TEST(HttpRequest, AskingAgainCarriesTheCookieTheFirstAnswerSet) {
    const std::string answer = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nContent-Length: ten\r\n\r\nto the end";
    TestServer server(Script({Raw({answer}, "close"), Raw({answer}, "close")}));
    HttpClient client(Patient());
    core::MemoryStream dest;
    client.Get(server.Url("/f"), dest);
    EXPECT_EQ(Text(dest), "to the end");
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].raw, RequestHead("/f", server.HostPort()));
    EXPECT_EQ(requests[1].raw, RequestHead("/f", server.HostPort(), "a=1"));
}

TEST(HttpRequest, TargetIsSentAsWrittenWithoutCredentialsOrProxy) {
    // A proxy from the environment must not be used: it would not answer.
    struct ProxyVariable {
        ProxyVariable() { setenv("http_proxy", "http://127.0.0.1:9/", 1); }
        ~ProxyVariable() { unsetenv("http_proxy"); }
    } proxy;
    struct Case {
        std::string url;
        std::string requestLine;
    };
    TestServer server(Script({Raw({Ok("1")}), Raw({Ok("2")}), Raw({Ok("3")}), Raw({Ok("4")})}));
    std::string hp = server.HostPort();
    Case cases[] = {
        {"http://" + hp + "/dir/a.txt?x=1&y=%41#fragment", "GET /dir/a.txt?x=1&y=%41 HTTP/1.1"},
        {"http://" + hp, "GET / HTTP/1.1"},
        {"http://" + hp + "/a/../b/./c", "GET /a/../b/./c HTTP/1.1"},
        {"http://user:secret@" + hp + "/Pelmora Scourly.chm", "GET /Pelmora Scourly.chm HTTP/1.1"},
    };
    HttpClient client(Patient());
    for (const Case& c : cases) {
        core::MemoryStream dest;
        client.Get(c.url, dest);
    }
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].url);
        std::string line = requests[i].raw.substr(0, requests[i].raw.find("\r\n"));
        EXPECT_EQ(line, cases[i].requestLine);
        // Everything after the request line is the fixed header set.
        std::string target = line.substr(4, line.size() - 4 - 9);
        EXPECT_EQ(requests[i].raw, RequestHead(target, hp));
    }
}

// ---------------------------------------------------------------------------

TEST(HttpOutcome, EveryKindOfAnswerSucceedsOrFailsAsItShould) {
    struct Case {
        const char* name;
        std::string answer;
        bool ok;
        const char* written;
        const char* events;
    } cases[] = {
        {"200", Ok("hello"), true, "hello", "[5:5]"},
        {"204", "HTTP/1.1 204 No Content\r\n\r\n", true, "", ""},
        {"200 length 0", Ok(""), true, "", ""},
        {"100 then 200", "HTTP/1.1 100 Continue\r\n\r\n" + Ok("hi"), true, "hi", "[2:2]"},
        {"200 with Location", Ok("moved", "Location: http://elsewhere/\r\n"), false, "", ""},
        {"301", "HTTP/1.1 301 Moved Permanently\r\nLocation: /new\r\nContent-Length: 3\r\n\r\nnew",
         false, "", ""},
        {"302", "HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 3\r\n\r\nnew", false, "", ""},
        {"303 without Location", "HTTP/1.1 303 See Other\r\nContent-Length: 3\r\n\r\nnew", false, "", ""},
        {"304", "HTTP/1.1 304 Not Modified\r\n\r\n", false, "", ""},
        {"101", "HTTP/1.1 101 Switching Protocols\r\nUpgrade: x\r\nConnection: Upgrade\r\n\r\nraw",
         false, "", ""},
        {"103 then 200", "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n" + Ok("hi"), false, "", ""},
        {"401", "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n"
                "Content-Length: 6\r\n\r\ndenied", false, "", ""},
        {"404", "HTTP/1.1 404 Not Found\r\nContent-Length: 7\r\n\r\nmissing", false, "", ""},
        {"500", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops", false, "", ""},
        {"status without a number", "HTTP/1.1 OK\r\nContent-Length: 4\r\n\r\nbody", false, "", ""},
        {"not HTTP at all", "hello\r\n\r\n", false, "", ""},
        // A length that is no number is no length: the body runs until the
        // close. curl refuses such a head, so the client asks a second time.
        {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nto the end", true, "to the end",
         "[0:10]"},
        {"length that is no number", "HTTP/1.1 200 OK\r\nContent-Length: ten\r\n\r\nto the end", true,
         "to the end", "[0:10]"},
        {"length with letters after digits", "HTTP/1.1 200 OK\r\nContent-Length: 2x\r\n\r\nto the end", true,
         "to the end", "[0:10]"},
        {"404 with a length that is no number",
         "HTTP/1.1 404 Not Found\r\nContent-Length: ten\r\n\r\nmissing", false, "", ""},
        // Whitespace before the first header is refused, as curl does.
        {"first header line folded", "HTTP/1.1 200 OK\r\n X-Folded: a\r\nContent-Length: 2\r\n\r\nok", false,
         "", ""},
        {"Location folded onto the next line",
         "HTTP/1.1 200 OK\r\nLocation:\r\n http://elsewhere/\r\nContent-Length: 2\r\n\r\nok", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Twice: an answer with an unusable length is asked for again.
        ExpectDownload(Script({Raw({c.answer}, "close"), Raw({c.answer}, "close")}), Patient(), c.ok, c.written,
                       c.events);
    }
}

TEST(HttpOutcome, UrlsThatNeverReachAServerFail) {
    TestServer server(Script({Raw({Ok("x")})}));
    std::string hp = server.HostPort();
    const std::string urls[] = {
        "https://" + hp + "/f",
        "ftp://" + hp + "/f",
        "http://no-such-host.invalid/f",
    };
    HttpClient client(Patient());
    EventLog events(client);
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        core::MemoryStream dest = Holding("OLD");
        EXPECT_THROW(client.Get(url, dest), core::Error);
        EXPECT_EQ(Text(dest), "OLD");
    }
    EXPECT_EQ(events.Text(), "");
    EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpOutcome, ConnectRefusedFails) {
    int port = 0;
    {
        TestServer gone(Script({}));
        port = gone.Port();
    }
    HttpClient client(Patient());
    core::MemoryStream dest;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get("http://127.0.0.1:" + std::to_string(port) + "/f", dest), core::Error);
    EXPECT_LT(SecondsSince(start), 2.0);
}

// ---------------------------------------------------------------------------

TEST(HttpBody, LengthChunkedAndUntilCloseFillTheDestination) {
    std::string big(200000, 'x');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 26);
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        const char* after;
        std::string body;
        std::string events;
    } cases[] = {
        {"by length, in two pieces", {{"HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nabc"}, Pause(0.05), {"def"}},
         "keep", "abcdef", "[6:6]"},
        {"large by length", {{Ok(big)}}, "keep", big, "[200000:200000]"},
        {"chunked", {{Chunked({"abc", "de"})}}, "keep", "abcde", "[3:3][2:2]"},
        {"chunked, large chunks", {{Chunked({big, "tail"})}}, "keep", big + "tail", "[200000:200000][4:4]"},
        {"chunked, size line split and extension and trailer",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"}, {"A"}, Pause(0.05),
          {";name=v\r\n0123"}, Pause(0.05), {"456789\r\n3\r\nxyz\r\n0\r\nX-Check: 1\r\n\r\n"}},
         "keep", "0123456789xyz", "[10:10][3:3]"},
        {"until close", {{"HTTP/1.1 200 OK\r\n\r\nall of it"}, Pause(0.05), {" and more"}},
         "close", "all of it and more", "[0:18]"},
        {"until close, HTTP/1.0", {{"HTTP/1.0 200 OK\r\n\r\nold"}}, "close", "old", "[0:3]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(Script({Raw(c.answer, c.after)}));
        HttpClient client(Patient());
        EventLog events(client);
        core::MemoryStream dest;
        client.Get(server.Url("/f"), dest);
        EXPECT_TRUE(Text(dest) == c.body) << "got " << dest.Bytes().size() << " bytes";
        EXPECT_EQ(events.Text(), c.events);
    }
}

TEST(HttpBody, WritesFromTheStreamsPosition) {
    TestServer server(Script({Raw({Ok("new")})}));
    HttpClient client(Patient());
    core::MemoryStream dest = Holding("0123456789");
    dest.Seek(4, core::SeekOrigin::Begin);
    client.Get(server.Url("/f"), dest);
    EXPECT_EQ(Text(dest), "0123new789");
}

TEST(HttpBody, BrokenAnswersFailAfterWhatArrived) {
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        const char* after;
        const char* written;
        const char* events;
    } cases[] = {
        {"closed in the head", {{"HTTP/1.1 200 OK\r\nContent-Len"}}, "close", "", ""},
        {"by length, cut short", {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcd"}}, "close",
         "abcd", "[10:4]"},
        {"by length, reset", {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcd"}, Pause(0.1)}, "reset",
         "abcd", "[10:4]"},
        {"chunked, cut in a chunk",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n5\r\nde"}}, "close",
         "abcde", "[3:3][5:2]"},
        {"chunked, cut before the last chunk",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"}}, "close", "abc", "[3:3]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(Script({Raw(c.answer, c.after)}));
        HttpClient client(Patient());
        EventLog events(client);
        core::MemoryStream dest = Holding("OLD");
        EXPECT_THROW(client.Get(server.Url("/f"), dest), core::Error);
        EXPECT_EQ(Text(dest), OverOld(c.written));
        EXPECT_EQ(events.Text(), c.events);
    }
}

TEST(HttpBody, DestinationThatCannotTakeTheDataFails) {
    TestServer server(Script({Raw({Ok("abcdef")})}));
    HttpClient client(Patient());
    EventLog events(client);
    core::MemoryStream dest;
    dest.FailWritesAfter(0);
    EXPECT_THROW(client.Get(server.Url("/f"), dest), core::Error);
    EXPECT_EQ(events.Text(), "[6:0]");
}

// ---------------------------------------------------------------------------

// A body that arrives in three pieces, far enough apart to be read apart.
std::vector<Piece> SlowBody() {
    return {{"HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\nabcd"}, Pause(0.3), {"efgh"}, Pause(0.3),
            {"ijkl"}};
}

TEST(HttpDisconnect, FromOnWorkStopsAfterThePieceJustTaken) {
    TestServer server(Script({Raw(SlowBody()), Raw({Ok("next")})}));
    HttpClient client(Patient());
    EventLog events(client);
    auto record = client.OnWork;
    client.OnWork = [&](int64_t soFar) {
        record(soFar);
        client.Disconnect();
    };
    core::MemoryStream dest;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get(server.Url("/slow"), dest), core::Error);
    EXPECT_LT(SecondsSince(start), 0.25);
    EXPECT_EQ(Text(dest), "abcd");
    EXPECT_EQ(events.Text(), "[12:4]");

    // The stopped connection is gone; the next download makes a new one.
    client.OnWork = nullptr;
    core::MemoryStream next;
    client.Get(server.Url("/next"), next);
    EXPECT_EQ(Text(next), "next");
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].connection, requests[1].connection);
}

struct Cancelled {};

TEST(HttpDisconnect, ErrorRaisedByOnWorkEndEndsGet) {
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        bool disconnect;
        const char* kept;
    } cases[] = {
        {"stopped by Disconnect", SlowBody(), true, "abcd"},
        {"complete body", {{Ok("whole")}}, false, "whole"},
        // The first chunk's end stops the body: the second never lands.
        {"first of two chunks",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"}, Pause(0.2),
          {"3\r\ndef\r\n0\r\n\r\n"}},
         false, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(Script({Raw(c.answer)}));
        HttpClient client(Patient());
        int ends = 0;
        if (c.disconnect) client.OnWork = [&](int64_t) { client.Disconnect(); };
        client.OnWorkEnd = [&] {
            ++ends;
            throw Cancelled();
        };
        core::MemoryStream dest;
        EXPECT_THROW(client.Get(server.Url("/f"), dest), Cancelled);
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(Text(dest), c.kept);
    }
}

// ---------------------------------------------------------------------------

TEST(HttpTimeout, CleanerGivesUpOnAConnectAfterFiveSeconds) {
    TestServer blackhole(Script({}), "full-backlog");
    HttpClient client(core::CleanerHttpSettings());
    core::MemoryStream dest = Holding("OLD");
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get(blackhole.Url("/f"), dest), core::Error);
    double elapsed = SecondsSince(start);
    EXPECT_GE(elapsed, 4.9);
    EXPECT_LE(elapsed, 6.0);
    EXPECT_EQ(Text(dest), "OLD");
}

TEST(HttpTimeout, CleanerGivesUpOnASilentServerAfterFiveSeconds) {
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        const char* written;
        const char* events;
    } cases[] = {
        {"before the head", {Pause(8), {Ok("late")}}, "", ""},
        {"in the body", {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nab"}, Pause(8), {"cdefghij"}},
         "ab", "[10:2]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(Script({Raw(c.answer)}));
        HttpClient client(core::CleanerHttpSettings());
        EventLog events(client);
        core::MemoryStream dest = Holding("OLD");
        auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(client.Get(server.Url("/f"), dest), core::Error);
        double elapsed = SecondsSince(start);
        EXPECT_GE(elapsed, 4.9);
        EXPECT_LE(elapsed, 6.0);
        EXPECT_EQ(Text(dest), OverOld(c.written));
        EXPECT_EQ(events.Text(), c.events);
    }
}

TEST(HttpTimeout, ReadLimitAppliesToEachWaitNotToTheWhole) {
    // 1 s per wait, 2.4 s in all; one header line alone takes 1.2 s to
    // arrive, so bytes that complete no line must count as data too.
    TestServer server(Script({Raw({{"HTTP/1.1 200 OK\r\nX-Slow: a"}, Pause(0.6), {"b"}, Pause(0.6),
                                   {"c\r\nContent-Length: 4\r\n\r\nab"}, Pause(0.6), {"c"}, Pause(0.6),
                                   {"d"}})}));
    HttpClientSettings settings = Patient();
    settings.readTimeoutMs = 1000;
    HttpClient client(settings);
    core::MemoryStream dest;
    client.Get(server.Url("/f"), dest);
    EXPECT_EQ(Text(dest), "abcd");
}

TEST(HttpTimeout, UpdaterKeepsPumpingWhileAConnectWaits) {
    TestServer blackhole(Script({}), "full-backlog");
    int pumps = 0;
    HttpClient* self = nullptr;
    auto start = std::chrono::steady_clock::now();
    HttpClient client(core::UpdaterHttpSettings([&] {
        ++pumps;
        // The user gives up after a second of a connect that never ends.
        if (SecondsSince(start) > 1.0) self->Disconnect();
    }));
    self = &client;
    core::MemoryStream dest;
    EXPECT_THROW(client.Get(blackhole.Url("/f"), dest), core::Error);
    EXPECT_LT(SecondsSince(start), 2.0);
    EXPECT_GE(pumps, 10);
}

TEST(HttpTimeout, UpdaterKeepsPumpingWhileItWaitsForData) {
    TestServer server(Script({Raw({Pause(1.0), {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nab"},
                                   Pause(1.0), {"cd"}})}));
    int pumps = 0;
    HttpClient client(core::UpdaterHttpSettings([&] { ++pumps; }));
    core::MemoryStream dest;
    client.Get(server.Url("/f"), dest);
    EXPECT_EQ(Text(dest), "abcd");
    EXPECT_GE(pumps, 20);
}

// ---------------------------------------------------------------------------

TEST(HttpLimit, BodyOverTheLimitFailsWithNothingWrittenBeyondIt) {
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        const char* after;
        bool ok;
        const char* written;
        const char* events;
    } cases[] = {
        {"by length, at the limit", {{Ok("0123456789")}}, "keep", true, "0123456789", "[10:10]"},
        {"until close, at the limit", {{"HTTP/1.1 200 OK\r\n\r\n0123456789"}}, "close", true, "0123456789",
         "[0:10]"},
        // Announced as larger: refused before a byte is written.
        {"by length, over it", {{Ok("0123456789a")}}, "keep", false, "", ""},
        {"until close, over it", {{"HTTP/1.1 200 OK\r\n\r\n0123456789abc"}}, "close", false, "0123456789",
         "[0:10]"},
        {"chunked, over it", {{Chunked({"012345", "6789ab"})}}, "keep", false, "0123456789", "[6:6][6:4]"},
        {"endless", {{"HTTP/1.1 200 OK\r\n\r\n"}, Endless("0123456789")}, "close", false, "0123456789",
         "[0:10]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpClientSettings settings = Patient();
        settings.maxBodyBytes = 10;
        ExpectDownload(Script({Raw(c.answer, c.after)}), settings, c.ok, c.written, c.events);
    }
}

TEST(HttpLimit, CleanerTakesAtMost64KBTheUpdaterAnySize) {
    std::string pattern = "[Version]\r\nVer=2010.1.3\r\n";
    std::string big;
    while (big.size() < 1000000) big += pattern;
    TestServer server(Script({Raw({{"HTTP/1.1 200 OK\r\n\r\n"}, Endless(pattern)}, "close"),
                              Raw({{"HTTP/1.1 200 OK\r\n\r\n" + big}}, "close")}));
    {
        HttpClient cleaner(core::CleanerHttpSettings());
        core::MemoryStream dest;
        EXPECT_THROW(cleaner.Get(server.Url("/endless"), dest), core::Error);
        ASSERT_EQ(dest.Size(), 65536);
        EXPECT_TRUE(Text(dest) == big.substr(0, 65536));
    }
    HttpClient updater(core::UpdaterHttpSettings([] {}));
    core::MemoryStream dest;
    updater.Get(server.Url("/big"), dest);
    EXPECT_TRUE(Text(dest) == big) << "got " << dest.Size() << " bytes";
}

TEST(HttpLimit, WholeDownloadIsLimitedInTimeWhateverTheWaits) {
    // One byte every 0.3 s never runs into the 1 s read limit; the 1.5 s
    // limit on the whole ends the download wherever it is.
    std::vector<Piece> slowHead = {{"HTTP/1.1 200 OK\r\nX-Slow: "}};
    std::vector<Piece> slowBody = {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n"}};
    for (char c : std::string("abcdefghij")) {
        slowHead.push_back(Pause(0.3));
        slowHead.push_back(std::string(1, c));
        slowBody.push_back(Pause(0.3));
        slowBody.push_back(std::string(1, c));
    }
    slowHead.push_back("\r\nContent-Length: 2\r\n\r\nok");
    struct Case {
        const char* name;
        std::vector<Piece> answer;
        bool bodyStarted;
    } cases[] = {
        {"in the head", slowHead, false},
        {"in the body", slowBody, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(Script({Raw(c.answer)}));
        HttpClientSettings settings = Patient();
        settings.readTimeoutMs = 1000;
        settings.totalTimeoutMs = 1500;
        HttpClient client(settings);
        EventLog events(client);
        core::MemoryStream dest;
        auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(client.Get(server.Url("/f"), dest), core::Error);
        double elapsed = SecondsSince(start);
        EXPECT_GE(elapsed, 1.45);
        EXPECT_LE(elapsed, 2.2);
        std::string written = Text(dest);
        if (c.bodyStarted) {
            // What arrived is kept, as after any failure in the body.
            EXPECT_GE(written.size(), 2u);
            EXPECT_LE(written.size(), 6u);
            EXPECT_EQ(written, std::string("abcdefghij").substr(0, written.size()));
            EXPECT_EQ(events.Text(), "[10:" + std::to_string(written.size()) + "]");
        } else {
            EXPECT_EQ(written, "");
            EXPECT_EQ(events.Text(), "");
        }
    }
}

TEST(HttpUpdateUrl, DescriptorIsFetchedFromTheConfiguredHost) {
    // Only a build that points the update host at a local port can reach it.
    std::string host = SCOURLY_UPDATE_HOST;
    int port = 0;
    if (std::sscanf(host.c_str(), "127.0.0.1:%d", &port) != 1)
        GTEST_SKIP() << "update host " << host << " is not a local test server";
    TestServer server(Script({Raw({Ok("[Version]\r\nVer=2010.1.3\r\n")})}), "serve", port);
    HttpClient client(Patient());
    core::MemoryStream dest;
    client.Get(core::UpdateBaseURL() + "Update.ini", dest);
    EXPECT_EQ(Text(dest), "[Version]\r\nVer=2010.1.3\r\n");
    std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw,
              RequestHead("/products/system-utility/pelmora-scourly/update/Update.ini", host));
}

}  // namespace
