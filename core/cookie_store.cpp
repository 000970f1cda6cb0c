#include "core/cookie_store.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>

#include "core/header_text.h"

namespace core {

namespace {

const size_t kMaxCookieBytes = 4096;

std::string Lower(std::string s) {
    for (char& c : s) c = LowerAscii(c);
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Only a host name has parent domains: "10.0.0.1" is no part of "0.0.1".
bool IsAddress(const std::string& host) {
    return !host.empty() && (host[0] == '[' || host.find_first_not_of("0123456789.") == std::string::npos);
}

// The host is the domain, or one of its subdomains.
bool InDomain(const std::string& lowerHost, const std::string& domain) {
    return lowerHost == domain || (!IsAddress(lowerHost) && EndsWith(lowerHost, "." + domain));
}

// Where a cookie without a Path attribute applies: the request's folder.
std::string DefaultPath(const std::string& requestPath) {
    size_t last = requestPath.rfind('/');
    if (requestPath.empty() || requestPath[0] != '/' || last == 0) return "/";
    return requestPath.substr(0, last);
}

// Max-Age: an optional minus sign and digits; false for anything else.
bool ParseSeconds(const std::string& s, int64_t& seconds) {
    size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    seconds = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        if (seconds < INT64_MAX / 20) seconds = seconds * 10 + (s[i] - '0');
    }
    if (s[0] == '-') seconds = -seconds;
    return true;
}

}  // namespace

void CookieStore::Take(const std::string& host, const std::string& path, const std::string& setCookie,
                       int64_t now) {
    const std::string lowerHost = Lower(host);
    size_t semicolon = setCookie.find(';');
    std::string pair = setCookie.substr(0, semicolon);
    size_t equals = pair.find('=');
    if (equals == std::string::npos) return;
    Cookie cookie;
    cookie.name = Trim(pair.substr(0, equals));
    cookie.value = Trim(pair.substr(equals + 1));
    if (cookie.name.empty() || cookie.name.size() + cookie.value.size() > kMaxCookieBytes ||
        HasControlByte(cookie.name) || HasControlByte(cookie.value))
        return;
    cookie.domain = lowerHost;
    cookie.path = DefaultPath(path);

    bool hasMaxAge = false;
    int64_t maxAge = 0;
    while (semicolon != std::string::npos) {
        size_t next = setCookie.find(';', semicolon + 1);
        std::string attribute = setCookie.substr(semicolon + 1, next == std::string::npos ? std::string::npos
                                                                                           : next - semicolon - 1);
        semicolon = next;
        size_t sign = attribute.find('=');
        std::string key = Trim(attribute.substr(0, sign));
        std::string value = sign == std::string::npos ? std::string() : Trim(attribute.substr(sign + 1));
        if (EqualsNoCase(key, "domain")) {
            std::string domain = Lower(value);
            domain.erase(0, domain.find_first_not_of('.'));
            if (domain.empty()) continue;
            // A server sets cookies for its own domain only.
            if (!InDomain(lowerHost, domain)) return;
            cookie.domain = domain;
            cookie.hostOnly = false;
        } else if (EqualsNoCase(key, "path")) {
            cookie.path = !value.empty() && value[0] == '/' ? value : DefaultPath(path);
        } else if (EqualsNoCase(key, "secure")) {
            cookie.secure = true;
        } else if (EqualsNoCase(key, "max-age")) {
            int64_t seconds = 0;
            if (ParseSeconds(value, seconds)) {
                hasMaxAge = true;
                maxAge = seconds;
            }
        } else if (EqualsNoCase(key, "expires")) {
            time_t date = curl_getdate(value.c_str(), nullptr);
            if (date != -1) {
                cookie.expires = true;
                cookie.expiry = int64_t(date);
            }
        }
    }
    // Max-Age wins over Expires, wherever each stands.
    if (hasMaxAge) {
        cookie.expires = true;
        cookie.expiry = maxAge <= 0 ? INT64_MIN : (maxAge > INT64_MAX - now ? INT64_MAX : now + maxAge);
    }

    const bool expired = cookie.expires && cookie.expiry <= now;
    auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& c) {
        return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
    });
    if (same != cookies_.end()) {
        if (expired)
            cookies_.erase(same);
        else
            *same = cookie;  // in the place of the one it replaces
        return;
    }
    if (expired) return;
    if (cookies_.size() >= kMaxCookies) cookies_.erase(cookies_.begin());
    cookies_.push_back(cookie);
}

std::string CookieStore::CookieValue(const std::string& host, const std::string& path, int64_t now) const {
    const std::string lowerHost = Lower(host);
    std::vector<const Cookie*> matching;
    for (const Cookie& c : cookies_) {
        if (c.secure || (c.expires && c.expiry <= now)) continue;
        if (c.hostOnly ? lowerHost != c.domain : !InDomain(lowerHost, c.domain)) continue;
        if (path.compare(0, c.path.size(), c.path) != 0) continue;
        matching.push_back(&c);
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
    std::string value;
    for (const Cookie* c : matching) value += (value.empty() ? "" : "; ") + c->name + "=" + c->value;
    return value;
}

}  // namespace core
