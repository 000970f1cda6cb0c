#include "core/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/header_text.h"

static_assert(CURL_ERROR_SIZE == 256, "errorBuffer_ must hold CURL_ERROR_SIZE bytes");

namespace core {

namespace {

const long kPumpSliceMs = 50;
const long kQuietSliceMs = 1000;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Non-negative decimal, no sign, no blanks; false on anything else or overflow.
bool ParseDecimal(const std::string& s, int64_t& value) {
    if (s.empty() || s.size() > 18) return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// What a cookie's path is matched against: the target without its query.
std::string TargetPath(const std::string& target) { return target.substr(0, target.find('?')); }

int64_t NowSeconds() { return int64_t(std::time(nullptr)); }

void GlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

HttpClientSettings CleanerHttpSettings() {
    HttpClientSettings s;
    s.connectTimeoutMs = 5000;
    s.readTimeoutMs = 5000;
    s.totalTimeoutMs = 30000;
    s.maxBodyBytes = 64 * 1024;
    return s;
}

HttpClientSettings UpdaterHttpSettings(std::function<void()> pump) {
    HttpClientSettings s;
    s.connectTimeoutMs = 120000;
    s.readTimeoutMs = 0;
    s.pump = std::move(pump);
    return s;
}

HttpUrl ParseHttpUrl(const std::string& url) {
    size_t sep = url.find("://");
    if (sep == std::string::npos) throw Error("Not an http URL: " + url);
    std::string scheme = url.substr(0, sep);
    if (!EqualsNoCase(scheme, "http")) throw Error("Unsupported protocol: " + scheme);

    std::string rest = url.substr(sep + 3);
    size_t authorityEnd = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, authorityEnd);
    std::string tail = authorityEnd == std::string::npos ? std::string() : rest.substr(authorityEnd);

    size_t at = authority.rfind('@');
    if (at != std::string::npos) authority = authority.substr(at + 1);

    HttpUrl result;
    std::string portPart;
    if (!authority.empty() && authority[0] == '[') {
        size_t close = authority.find(']');
        if (close == std::string::npos) throw Error("Bad host in URL: " + url);
        result.host = authority.substr(0, close + 1);
        portPart = authority.substr(close + 1);
    } else {
        size_t colon = authority.find(':');
        result.host = authority.substr(0, colon);
        if (colon != std::string::npos) portPart = authority.substr(colon);
    }
    if (result.host.empty() || result.host.find_first_of(" \t") != std::string::npos ||
        HasControlByte(result.host))
        throw Error("Bad host in URL: " + url);
    if (!portPart.empty()) {
        if (portPart[0] != ':') throw Error("Bad host in URL: " + url);
        std::string digits = portPart.substr(1);
        if (!digits.empty()) {
            int64_t port = 0;
            if (!ParseDecimal(digits, port) || port < 1 || port > 65535)
                throw Error("Bad port in URL: " + url);
            result.port = int(port);
        }
    }

    size_t hash = tail.find('#');
    if (hash != std::string::npos) tail.resize(hash);
    if (tail.empty() || tail[0] == '?') tail = "/" + tail;
    // A CR or LF here would end the request line early and inject headers.
    if (HasControlByte(tail)) throw Error("Bad characters in URL: " + url);
    result.target = tail;

    result.hostHeader = result.host;
    if (result.port != 80) result.hostHeader += ":" + std::to_string(result.port);
    return result;
}

HttpClient::HttpClient(HttpClientSettings settings) : settings_(std::move(settings)) {
    GlobalInitOnce();
    ResetConnections();
}

HttpClient::~HttpClient() {
    if (multi_) curl_multi_cleanup(multi_);
    if (headers_) curl_slist_free_all(headers_);
}

void HttpClient::BuildRequestHeaders() {
    // curl writes its own lines, Host among them, and the Cookie line of its
    // cookie engine before the lines it is given; only when every line is
    // given do they go out in this order. An empty "Host:" ahead drops
    // curl's own Host line, so the later one is sent in its place in the
    // list. curl's cookie engine stays off: the store is this client's.
    std::vector<std::string> lines = {
        "Host:",
        "Content-Type: text/html",
        "Host: " + request_.hostHeader,
        "Accept: text/html, */*",
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
    };
    std::string cookie =
        cookies_.CookieValue(request_.host, request_.port, TargetPath(request_.target), NowSeconds());
    if (!cookie.empty()) lines.push_back("Cookie: " + cookie);
    curl_slist* headers = nullptr;
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(headers, line.c_str());
        if (!grown) {
            curl_slist_free_all(headers);
            throw Error("Out of memory");
        }
        headers = grown;
    }
    if (headers_) curl_slist_free_all(headers_);
    headers_ = headers;
}

void* HttpClient::NewEasyHandle(const std::string& curlUrl, const std::string& target, bool ignoreLength) {
    // Made for each attempt: a second one carries the cookies the first set.
    BuildRequestHeaders();
    CURL* easy = curl_easy_init();
    if (!easy) throw Error("Cannot initialise the HTTP client");
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    // Empty means no proxy at all, whatever the environment says.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    // Raw chunk framing is wanted: every chunk is reported as a body of its own.
    curl_easy_setopt(easy, CURLOPT_HTTP_TRANSFER_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, ignoreLength ? 1L : 0L);
    // curl takes 0 as its own default of 300 s, so "none" becomes a long limit.
    long connectMs = settings_.connectTimeoutMs > 0 ? settings_.connectTimeoutMs : 0x7fffffffL;
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpClient::HeaderCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpClient::WriteCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &HttpClient::PrereqCallback);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(easy, CURLOPT_URL, curlUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, target.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers_);
    return easy;
}

void HttpClient::ResetConnections() {
    // The connection cache belongs to the multi handle: dropping the handle
    // closes the kept connection.
    if (multi_) curl_multi_cleanup(multi_);
    multi_ = curl_multi_init();
    if (!multi_) throw Error("Cannot initialise the HTTP client");
    curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 1L);
}

void HttpClient::Disconnect() {
    if (busy_)
        stopRequested_ = true;
    else
        ResetConnections();
}

void HttpClient::ResetTransferState() {
    stopRequested_ = false;
    pending_ = nullptr;
    pendingFromWorkEnd_ = false;
    failure_.clear();
    connected_ = false;
    lastActivityMs_ = NowMs();
    inHead_ = false;
    status_ = 0;
    statusLine_.clear();
    location_.clear();
    lastName_.clear();
    lastValue_.clear();
    chunked_ = false;
    hasLength_ = false;
    badLength_ = false;
    length_ = 0;
    askWithoutLength_ = false;
    proxyConnectionClose_ = false;
    accepted_ = false;
    writeFailed_ = false;
    tooLarge_ = false;
    bodyMode_ = BodyMode::None;
    inBody_ = false;
    soFar_ = 0;
    bodyTotal_ = 0;
    chunkState_ = ChunkState::Size;
    chunkSize_ = 0;
    chunkLeft_ = 0;
    chunkSizeSeen_ = false;
    trailerLineEmpty_ = true;
}

int HttpClient::PrereqCallback(void* self, char*, char*, int, int) {
    // The connection is up (new or reused): from here on every wait is a
    // wait for data.
    HttpClient* client = static_cast<HttpClient*>(self);
    client->connected_ = true;
    client->lastActivityMs_ = NowMs();
    return CURL_PREREQFUNC_OK;
}

size_t HttpClient::HeaderCallback(char* data, size_t size, size_t count, void* self) {
    return static_cast<HttpClient*>(self)->OnHeaderLine(data, size * count);
}

size_t HttpClient::WriteCallback(char* data, size_t size, size_t count, void* self) {
    return static_cast<HttpClient*>(self)->OnBodyData(data, size * count);
}

bool HttpClient::Fire(const std::function<void()>& call, bool isWorkEnd) {
    // Exceptions must not cross curl's C frames: keep it for Get to rethrow.
    try {
        call();
        return true;
    } catch (...) {
        pending_ = std::current_exception();
        pendingFromWorkEnd_ = isWorkEnd;
        return false;
    }
}

bool HttpClient::BeginBody(int64_t expected) {
    inBody_ = true;
    soFar_ = 0;
    if (!OnWorkBegin) return true;
    return Fire([&] { OnWorkBegin(expected); }, false);
}

bool HttpClient::EndBodyInCallback() {
    inBody_ = false;
    if (!OnWorkEnd) return true;
    return Fire([&] { OnWorkEnd(); }, true);
}

void HttpClient::EndBody() {
    if (!inBody_) return;
    inBody_ = false;
    if (OnWorkEnd) OnWorkEnd();
}

size_t HttpClient::OnHeaderLine(const char* data, size_t length) {
    lastActivityMs_ = NowMs();
    // After the final head only trailers can come; the chunk parser sees them.
    if (accepted_) return length;
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();

    if (!inHead_) {
        // First line of an answer: the status line. An interim answer (100)
        // starts over here with the next one.
        inHead_ = true;
        statusLine_ = line;
        status_ = -1;
        location_.clear();
        lastName_.clear();
        lastValue_.clear();
        chunked_ = false;
        hasLength_ = false;
        badLength_ = false;
        length_ = 0;
        proxyConnectionClose_ = false;
        size_t space = line.find(' ');
        if (line.compare(0, 5, "HTTP/") == 0 && space != std::string::npos) {
            std::string code = line.substr(space + 1, 3);
            int64_t value = 0;
            if (code.size() == 3 && ParseDecimal(code, value) &&
                (line.size() == space + 4 || line[space + 4] == ' '))
                status_ = int(value);
        }
        return length;
    }

    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
        // A folded line continues the value of the header before it.
        if (!lastName_.empty()) TakeHeader(lastName_, lastValue_ + " " + Trim(line));
        return length;
    }
    // No folded line can continue the header before this line any more.
    TakeCookies();
    lastName_.clear();
    lastValue_.clear();
    if (line.empty()) return OnHeadEnd(length);
    size_t colon = line.find(':');
    if (colon == std::string::npos) return length;
    TakeHeader(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    return length;
}

void HttpClient::TakeHeader(const std::string& name, const std::string& value) {
    lastName_ = name;
    lastValue_ = value;
    if (EqualsNoCase(name, "Location")) {
        location_ = value;
    } else if (EqualsNoCase(name, "Content-Length")) {
        // One that is no number makes the whole answer's length unusable.
        hasLength_ = ParseDecimal(value, length_);
        if (!hasLength_) badLength_ = true;
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
        // The same test curl applies to decide on chunk framing, which
        // it still does with transfer decoding off.
        size_t pos = 0;
        while (pos <= value.size()) {
            size_t comma = value.find(',', pos);
            if (comma == std::string::npos) comma = value.size();
            if (EqualsNoCase(Trim(value.substr(pos, comma - pos)), "chunked")) chunked_ = true;
            pos = comma + 1;
        }
    } else if (EqualsNoCase(name, "Proxy-Connection")) {
        // curl heeds this one only from a proxy; close it ourselves.
        if (EqualsNoCase(value, "close")) proxyConnectionClose_ = true;
    }
}

void HttpClient::TakeCookies() {
    // From every answer, a failed one too, once the line is complete: what
    // its first part alone says may be more than the whole line allows.
    if (EqualsNoCase(lastName_, "Set-Cookie"))
        cookies_.Take(request_.host, TargetPath(request_.target), lastValue_, NowSeconds());
    else if (EqualsNoCase(lastName_, "Set-Cookie2"))
        cookies_.TakeSetCookie2(request_.host, request_.port, TargetPath(request_.target), lastValue_,
                                NowSeconds());
}

size_t HttpClient::OnHeadEnd(size_t length) {
    // Decide before the first body byte.
    inHead_ = false;
    if (status_ == 100) return length;
    if (!location_.empty() || (status_ >= 300 && status_ <= 399 && status_ != 304)) {
        failure_ = "Redirect not followed: " + statusLine_ +
                   (location_.empty() ? std::string() : " to " + location_);
        return 0;
    }
    if (status_ < 200 || status_ > 299) {
        failure_ = statusLine_.empty() ? std::string("Bad answer") : statusLine_;
        return 0;
    }
    if (badLength_) hasLength_ = false;
    if (badLength_ && !chunked_ && !ignoringLength_ && status_ != 204) {
        // curl read a length out of the start of it ("12abc"); the body
        // must run until the close instead, which only a new request with
        // lengths ignored can give.
        curl_off_t curlLength = -1;
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &curlLength);
        if (curlLength >= 0) {
            askWithoutLength_ = true;
            return 0;
        }
    }
    if (hasLength_ && settings_.maxBodyBytes > 0 && length_ > settings_.maxBodyBytes && status_ != 204 &&
        !chunked_) {
        failure_ = "Answer larger than " + std::to_string(settings_.maxBodyBytes) + " bytes";
        return 0;
    }
    accepted_ = true;
    if (status_ == 204) {
        bodyMode_ = BodyMode::None;
    } else if (chunked_) {
        bodyMode_ = BodyMode::Chunked;
    } else if (hasLength_) {
        bodyMode_ = length_ > 0 ? BodyMode::Length : BodyMode::None;
        if (length_ > 0 && !BeginBody(length_)) return 0;
    } else {
        bodyMode_ = BodyMode::UntilClose;
        if (!BeginBody(0)) return 0;
    }
    return length;
}

size_t HttpClient::OnBodyData(const char* data, size_t length) {
    lastActivityMs_ = NowMs();
    if (!accepted_ || stopRequested_) return 0;
    bool ok = true;
    switch (bodyMode_) {
    case BodyMode::None:
        break;
    case BodyMode::Length:
    case BodyMode::UntilClose:
        ok = TakeBodyPiece(data, length);
        break;
    case BodyMode::Chunked:
        ok = TakeChunkedData(data, length);
        break;
    }
    return ok ? length : 0;
}

bool HttpClient::TakeBodyPiece(const char* data, size_t length) {
    if (length == 0) return true;
    if (settings_.maxBodyBytes > 0 && int64_t(length) > settings_.maxBodyBytes - bodyTotal_) {
        // Up to the limit and not one byte beyond.
        length = size_t(settings_.maxBodyBytes - bodyTotal_);
        tooLarge_ = true;
    }
    int32_t count = int32_t(length);  // curl hands over at most its buffer size
    if (count > 0) {
        if (dest_->Write(data, count) != count) {
            writeFailed_ = true;
            return false;
        }
        soFar_ += count;
        bodyTotal_ += count;
        if (OnWork) {
            int64_t soFar = soFar_;
            if (!Fire([&] { OnWork(soFar); }, false)) return false;
        }
    }
    // Disconnect from the handler: the piece is written, nothing more is.
    return !tooLarge_ && !stopRequested_;
}

bool HttpClient::TakeChunkedData(const char* data, size_t length) {
    size_t i = 0;
    while (i < length) {
        char c = data[i];
        switch (chunkState_) {
        case ChunkState::Size: {
            int digit = HexValue(c);
            if (digit >= 0) {
                if (chunkSize_ > (INT64_MAX >> 4)) return false;
                chunkSize_ = chunkSize_ * 16 + digit;
                chunkSizeSeen_ = true;
                ++i;
            } else if (c == ';') {
                chunkState_ = ChunkState::Extension;
            } else if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '\r') {
                chunkState_ = ChunkState::SizeLf;
                ++i;
            } else if (c == '\n') {
                chunkState_ = ChunkState::SizeLf;
            } else {
                return false;
            }
            break;
        }
        case ChunkState::Extension:
            if (c == '\n')
                chunkState_ = ChunkState::SizeLf;
            else
                ++i;
            break;
        case ChunkState::SizeLf:
            if (c != '\n' || !chunkSizeSeen_) return false;
            ++i;
            if (chunkSize_ == 0) {
                chunkState_ = ChunkState::Trailer;
                trailerLineEmpty_ = true;
            } else {
                chunkLeft_ = chunkSize_;
                chunkState_ = ChunkState::Data;
                if (!BeginBody(chunkSize_)) return false;
            }
            break;
        case ChunkState::Data: {
            size_t take = size_t(std::min<int64_t>(chunkLeft_, int64_t(length - i)));
            if (!TakeBodyPiece(data + i, take)) return false;
            chunkLeft_ -= int64_t(take);
            i += take;
            if (chunkLeft_ == 0) {
                chunkState_ = ChunkState::DataCr;
                if (!EndBodyInCallback()) return false;
            }
            break;
        }
        case ChunkState::DataCr:
            if (c == '\r')
                ++i;
            else if (c != '\n')
                return false;
            chunkState_ = ChunkState::DataLf;
            break;
        case ChunkState::DataLf:
            if (c != '\n') return false;
            ++i;
            chunkState_ = ChunkState::Size;
            chunkSize_ = 0;
            chunkSizeSeen_ = false;
            break;
        case ChunkState::Trailer:
            if (c == '\n') {
                if (trailerLineEmpty_) chunkState_ = ChunkState::Done;
                trailerLineEmpty_ = true;
            } else if (c != '\r') {
                trailerLineEmpty_ = false;
            }
            ++i;
            break;
        case ChunkState::Done:
            i = length;
            break;
        }
        if (stopRequested_) return false;
    }
    return true;
}

void HttpClient::Get(const std::string& url, Stream& dest) {
    if (busy_) throw Error("A download is already under way");
    HttpUrl parsed = ParseHttpUrl(url);

    // curl's own URL parser refuses blanks; the request line carries the
    // target as written through CURLOPT_REQUEST_TARGET anyway.
    std::string curlPath;
    for (char c : parsed.target) {
        if (c == ' ')
            curlPath += "%20";
        else
            curlPath += c;
    }
    std::string curlUrl = "http://" + parsed.host + ":" + std::to_string(parsed.port) + curlPath;

    request_ = parsed;

    dest_ = &dest;
    busy_ = true;
    deadlineMs_ = settings_.totalTimeoutMs > 0 ? NowMs() + settings_.totalTimeoutMs : 0;
    struct Idle {
        HttpClient* client;
        ~Idle() {
            client->busy_ = false;
            client->dest_ = nullptr;
        }
    } idle{this};

    // curl refuses a Content-Length that is no number outright, so such an
    // answer is asked for once more with lengths ignored, to be read until
    // the server closes. Nothing of the first answer was written.
    if (RunTransfer(curlUrl, parsed.target, false) == Attempt::AskWithoutLength)
        RunTransfer(curlUrl, parsed.target, true);
}

HttpClient::Attempt HttpClient::RunTransfer(const std::string& curlUrl, const std::string& target,
                                            bool ignoreLength) {
    struct Easy {
        HttpClient* client;
        ~Easy() {
            curl_easy_cleanup(client->easy_);
            client->easy_ = nullptr;
        }
    };
    easy_ = NewEasyHandle(curlUrl, target, ignoreLength);
    Easy owner{this};
    ResetTransferState();
    ignoringLength_ = ignoreLength;
    errorBuffer_[0] = 0;

    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) throw Error("Cannot start the download");
    struct Attached {
        void* multi;
        void* easy;
        bool on = true;
        void Detach() {
            // Detaching a transfer that has not finished closes its connection.
            if (on) curl_multi_remove_handle(multi, easy);
            on = false;
        }
        ~Attached() { Detach(); }
    } attached{multi_, easy_};

    bool done = false;
    bool readTimedOut = false;
    bool overTime = false;
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        CURLMcode mc = curl_multi_perform(multi_, &running);
        if (mc != CURLM_OK) throw Error(std::string("HTTP client: ") + curl_multi_strerror(mc));
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                done = true;
                result = msg->data.result;
            }
        }
        if (done || stopRequested_ || pending_) break;

        int64_t now = NowMs();
        long wait = settings_.pump ? kPumpSliceMs : kQuietSliceMs;
        if (deadlineMs_ > 0) {
            if (now >= deadlineMs_) {
                overTime = true;
                break;
            }
            wait = long(std::min<int64_t>(wait, deadlineMs_ - now));
        }
        if (connected_ && settings_.readTimeoutMs > 0) {
            int64_t left = lastActivityMs_ + settings_.readTimeoutMs - now;
            if (left <= 0) {
                readTimedOut = true;
                break;
            }
            wait = long(std::min<int64_t>(wait, left));
        }
        int events = 0;
        mc = curl_multi_poll(multi_, nullptr, 0, int(wait), &events);
        if (mc != CURLM_OK) throw Error(std::string("HTTP client: ") + curl_multi_strerror(mc));
        // Readable means bytes (or the close) came in, even when they are
        // only part of a header line that curl keeps to itself for now.
        if (events > 0 && connected_) lastActivityMs_ = NowMs();
        if (settings_.pump) {
            try {
                settings_.pump();
            } catch (...) {
                pending_ = std::current_exception();
                break;
            }
        }
    }
    attached.Detach();
    // A head cut short (curl stops at a line it refuses): no folded line
    // can continue its last line now.
    if (inHead_) TakeCookies();

    if (pending_) {
        std::exception_ptr error = pending_;
        pending_ = nullptr;
        if (!pendingFromWorkEnd_) EndBody();
        std::rethrow_exception(error);
    }
    if (!failure_.empty()) throw Error(failure_);
    if (askWithoutLength_) return Attempt::AskWithoutLength;
    if (stopRequested_) {
        EndBody();
        throw Error("Download stopped by Disconnect");
    }
    if (overTime) {
        EndBody();
        throw Error("Download took longer than " + std::to_string(settings_.totalTimeoutMs) + " ms");
    }
    if (readTimedOut) {
        EndBody();
        throw Error("Read timed out");
    }
    if (writeFailed_) {
        EndBody();
        throw Error("Cannot write the downloaded data");
    }
    if (tooLarge_) {
        EndBody();
        throw Error("Answer larger than " + std::to_string(settings_.maxBodyBytes) + " bytes");
    }
    if (result == CURLE_WEIRD_SERVER_REPLY && inHead_ && !ignoreLength && status_ >= 200 && status_ <= 299 &&
        std::strncmp(errorBuffer_, "Invalid Content-Length", 22) == 0)
        return Attempt::AskWithoutLength;
    if (result != CURLE_OK) {
        EndBody();
        throw Error(errorBuffer_[0] ? std::string(errorBuffer_) : std::string(curl_easy_strerror(result)));
    }
    if (!accepted_) throw Error("No answer from the server");
    if (bodyMode_ == BodyMode::Chunked && chunkState_ != ChunkState::Done) {
        EndBody();
        throw Error("Chunked body cut short");
    }
    EndBody();
    if (proxyConnectionClose_) ResetConnections();
    return Attempt::Done;
}

}  // namespace core
