// The one network operation of both programs: a plain HTTP/1.1 GET of one URL
// into a stream, on libcurl.
//
// One client lives for the whole run of a program. It keeps one connection
// open between downloads when the server allows it, and an in-memory cookie
// store whose cookies go back to the server on later requests of the run.
// Redirects are never followed, no proxy and no authentication are used, and
// only plain http is spoken.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "core/cookie_store.h"
#include "core/stream.h"

struct curl_slist;

namespace core {

struct HttpClientSettings {
    // Longest wait for the TCP connect, name resolution included.
    long connectTimeoutMs = 0;
    // Longest single wait for data from the server, counted from the last
    // byte received; 0 = no limit.
    long readTimeoutMs = 0;
    // Longest time for the whole download, from the call to the last byte;
    // 0 = no limit.
    long totalTimeoutMs = 0;
    // Largest body taken; a larger one fails the download after exactly this
    // many bytes were written (none when its announced length is larger).
    // 0 = no limit.
    int64_t maxBodyBytes = 0;
    // Called between short waits (50 ms) while connecting and while waiting
    // for data, to process the application's window messages; Disconnect
    // called from it ends the wait. Empty: the client waits without calling
    // anything.
    std::function<void()> pump;
};

// The cleaner's update check: it blocks without processing messages, and
// a descriptor is small, so a slow or endless answer cannot hold start-up
// or fill the disk: 30 s and 64 KB at most.
HttpClientSettings CleanerHttpSettings();
// The updater: long connect, no read limit, no size or time limit (the user
// can cancel), and its window stays responsive.
HttpClientSettings UpdaterHttpSettings(std::function<void()> pump);

// The parts of a URL that go into the request.
struct HttpUrl {
    std::string host;        // as written; an IPv6 literal keeps its brackets
    int port = 80;
    std::string hostHeader;  // host, and ":port" unless the port is 80
    std::string target;      // path and query as written, no fragment
};

// Throws core::Error for anything but a well-formed http URL. A user name and
// password in the URL are dropped here, so they can never be sent.
HttpUrl ParseHttpUrl(const std::string& url);

class HttpClient {
public:
    explicit HttpClient(HttpClientSettings settings);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Downloads url into dest from dest's current position. Returns on a 2xx
    // answer whose body has arrived completely; throws core::Error on every
    // failure (bad URL, name resolution, connect, time-out, a broken
    // connection, a redirect, any other status, a body over the limit). A
    // Content-Length that is no decimal number is no length: the body runs
    // until the server closes. A failed answer writes
    // nothing to dest; a body cut short keeps what arrived. A download
    // stopped by Disconnect fails too, after OnWorkEnd. An exception thrown
    // by an event handler or by the pump stops the download and is rethrown
    // as it is, after OnWorkEnd when a body was being read (an exception
    // from OnWorkEnd itself wins over any other).
    void Get(const std::string& url, Stream& dest);

    // Closes the connection. From a handler or the pump during Get, it
    // stops the download after the piece of the body just taken, or at once
    // while the client waits.
    void Disconnect();

    // Raised while a body is read. A chunked body reports every chunk as a
    // body of its own; a body that runs until the server closes expects 0.
    // No event comes for an answer without a body.
    std::function<void(int64_t expected)> OnWorkBegin;
    std::function<void(int64_t soFar)> OnWork;   // bytes of this body so far
    std::function<void()> OnWorkEnd;             // normal end or failure

private:
    enum class BodyMode { None, Length, UntilClose, Chunked };
    enum class ChunkState { Size, Extension, SizeLf, Data, DataCr, DataLf,
                            Trailer, Done };
    // How one attempt at an answer ended, when it did not throw.
    enum class Attempt { Done, AskWithoutLength };

    static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    static int PrereqCallback(void* self, char*, char*, int, int);

    // Inside curl's callbacks a false result aborts the transfer.
    size_t OnHeaderLine(const char* data, size_t length);
    void TakeHeader(const std::string& name, const std::string& value);
    // A Set-Cookie or Set-Cookie2 header in lastName_ and lastValue_, once
    // no folded line can continue it.
    void TakeCookies();
    size_t OnHeadEnd(size_t length);
    size_t OnBodyData(const char* data, size_t length);
    bool TakeBodyPiece(const char* data, size_t length);
    bool TakeChunkedData(const char* data, size_t length);
    bool Fire(const std::function<void()>& call, bool isWorkEnd);
    bool BeginBody(int64_t expected);
    bool EndBodyInCallback();
    void EndBody();  // outside curl: a handler's exception leaves Get
    void ResetTransferState();
    void ResetConnections();
    void* NewEasyHandle(const std::string& curlUrl, const std::string& target, bool ignoreLength);
    // The request's header lines for request_, into headers_.
    void BuildRequestHeaders();
    Attempt RunTransfer(const std::string& curlUrl, const std::string& target, bool ignoreLength);

    HttpClientSettings settings_;
    // A fresh easy handle (CURL*) for every Get: curl 7.88 keeps a pointer
    // to the last header of a transfer in its handle and follows it, freed,
    // when the next answer on that handle starts with a folded line.
    void* easy_ = nullptr;
    void* multi_ = nullptr;  // CURLM*: holds the connection kept between Gets
    curl_slist* headers_ = nullptr;
    char errorBuffer_[256] = {};

    CookieStore cookies_;  // the cookies of the whole run

    // State of the Get under way.
    bool busy_ = false;
    HttpUrl request_;
    Stream* dest_ = nullptr;
    bool stopRequested_ = false;
    std::exception_ptr pending_;   // thrown by a handler, rethrown by Get
    bool pendingFromWorkEnd_ = false;
    std::string failure_;          // set when the answer itself fails
    bool connected_ = false;
    int64_t lastActivityMs_ = 0;
    int64_t deadlineMs_ = 0;       // end of the whole download; 0 = none

    // The answer's head as it comes in.
    bool inHead_ = false;
    int status_ = 0;               // -1: no number in the status line
    std::string statusLine_;
    std::string location_;
    std::string lastName_;         // the header a folded line continues
    std::string lastValue_;
    bool chunked_ = false;
    bool hasLength_ = false;
    bool badLength_ = false;       // a Content-Length that is no number
    int64_t length_ = 0;
    bool ignoringLength_ = false;  // curl was told to ignore Content-Length
    bool askWithoutLength_ = false;
    bool proxyConnectionClose_ = false;
    bool accepted_ = false;        // a 2xx head: its body may be written
    bool writeFailed_ = false;
    bool tooLarge_ = false;

    BodyMode bodyMode_ = BodyMode::None;
    bool inBody_ = false;          // between OnWorkBegin and OnWorkEnd
    int64_t soFar_ = 0;
    int64_t bodyTotal_ = 0;        // all chunks together
    ChunkState chunkState_ = ChunkState::Size;
    int64_t chunkSize_ = 0;
    int64_t chunkLeft_ = 0;
    bool chunkSizeSeen_ = false;
    bool trailerLineEmpty_ = true;
};

}  // namespace core
