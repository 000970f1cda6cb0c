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

// The pieces of a Set-Cookie line: the name=value pair, then the attributes.
std::vector<std::string> SplitAtSemicolons(const std::string& line) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        size_t semicolon = line.find(';', pos);
        parts.push_back(line.substr(pos, semicolon == std::string::npos ? std::string::npos : semicolon - pos));
        if (semicolon == std::string::npos) return parts;
        pos = semicolon + 1;
    }
}

// The cookies of a Set-Cookie2 line, each split like a Set-Cookie line. A
// quoted string, with its backslash escapes, is no boundary: commas and
// semicolons inside it stay in its piece. False for a quote left open, or a
// cookie without an equals sign in its first piece; blank list entries are
// skipped.
bool SplitSetCookie2(const std::string& line, std::vector<std::vector<std::string>>& cookies) {
    std::vector<std::string> parts(1);
    auto endCookie = [&] {
        bool blank = true;
        for (const std::string& part : parts) blank = blank && Trim(part).empty();
        if (!blank && parts[0].find('=') == std::string::npos) return false;
        if (!blank) cookies.push_back(parts);
        parts.assign(1, std::string());
        return true;
    };
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            parts.back() += c;
            if (c == '\\' && i + 1 < line.size())
                parts.back() += line[++i];
            else if (c == '"')
                quoted = false;
        } else if (c == ';') {
            parts.emplace_back();
        } else if (c == ',') {
            if (!endCookie()) return false;
        } else {
            if (c == '"') quoted = true;
            parts.back() += c;
        }
    }
    return !quoted && endCookie();
}

// The text of a quoted string, its escapes resolved; anything that is not
// one quoted string stays as it is.
std::string Unquote(const std::string& s) {
    if (s.size() < 2 || s[0] != '"') return s;
    std::string text;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size())
            text += s[++i];
        else if (s[i] == '"')
            return i + 1 == s.size() ? text : s;
        else
            text += s[i];
    }
    return s;
}

// A Port attribute's list: port numbers separated by commas, blanks around
// them allowed; false for anything else.
bool ParsePorts(const std::string& s, std::vector<int>& ports) {
    ports.clear();
    size_t pos = 0;
    while (true) {
        size_t comma = s.find(',', pos);
        std::string item = Trim(s.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (item.empty() || item.size() > 5 || item.find_first_not_of("0123456789") != std::string::npos)
            return false;
        int port = 0;
        for (char c : item) port = port * 10 + (c - '0');
        if (port < 1 || port > 65535) return false;
        ports.push_back(port);
        if (comma == std::string::npos) return true;
        pos = comma + 1;
    }
}

}  // namespace

void CookieStore::Take(const std::string& host, const std::string& path, const std::string& setCookie,
                       int64_t now) {
    Cookie cookie;
    if (Read(host, 0, path, SplitAtSemicolons(setCookie), false, now, cookie)) Store(cookie, now);
}

void CookieStore::TakeSetCookie2(const std::string& host, int port, const std::string& path,
                                 const std::string& setCookie2, int64_t now) {
    std::vector<std::vector<std::string>> cookies;
    if (!SplitSetCookie2(setCookie2, cookies)) return;
    for (const std::vector<std::string>& parts : cookies) {
        Cookie cookie;
        if (Read(host, port, path, parts, true, now, cookie)) Store(cookie, now);
    }
}

bool CookieStore::Read(const std::string& host, int port, const std::string& path,
                       const std::vector<std::string>& parts, bool setCookie2, int64_t now, Cookie& cookie) {
    const std::string lowerHost = Lower(host);
    const std::string& pair = parts[0];
    size_t equals = pair.find('=');
    if (equals == std::string::npos) return false;
    cookie.name = Trim(pair.substr(0, equals));
    cookie.value = Trim(pair.substr(equals + 1));
    // A semicolon (a quoted Set-Cookie2 value may hold one) would end the
    // pair early in the Cookie line and start another there.
    if (cookie.name.empty() || cookie.name.size() + cookie.value.size() > kMaxCookieBytes ||
        HasControlByte(cookie.name) || HasControlByte(cookie.value) ||
        (cookie.name + cookie.value).find(';') != std::string::npos)
        return false;
    // Set-Cookie2's Cookie line gives "$" names to its own attributes.
    if (setCookie2 && cookie.name[0] == '$') return false;
    cookie.domain = lowerHost;
    cookie.path = DefaultPath(path);

    bool hasMaxAge = false;
    int64_t maxAge = 0;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& attribute = parts[i];
        size_t sign = attribute.find('=');
        std::string key = Trim(attribute.substr(0, sign));
        std::string value = sign == std::string::npos ? std::string() : Trim(attribute.substr(sign + 1));
        if (setCookie2) value = Unquote(value);
        if (EqualsNoCase(key, "domain")) {
            std::string domain = Lower(value);
            domain.erase(0, domain.find_first_not_of('.'));
            if (domain.empty()) continue;
            // A server sets cookies for its own domain only.
            if (!InDomain(lowerHost, domain)) return false;
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
        } else if (setCookie2 && EqualsNoCase(key, "port")) {
            if (sign == std::string::npos)
                cookie.ports.assign(1, port);
            else if (!ParsePorts(value, cookie.ports))
                return false;
            if (std::find(cookie.ports.begin(), cookie.ports.end(), port) == cookie.ports.end()) return false;
        }
    }
    // Max-Age wins over Expires, wherever each stands.
    if (hasMaxAge) {
        cookie.expires = true;
        cookie.expiry = maxAge <= 0 ? INT64_MIN : (maxAge > INT64_MAX - now ? INT64_MAX : now + maxAge);
    }
    return true;
}

void CookieStore::Store(const Cookie& cookie, int64_t now) {
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

std::string CookieStore::CookieValue(const std::string& host, int port, const std::string& path,
                                     int64_t now) const {
    const std::string lowerHost = Lower(host);
    std::vector<const Cookie*> matching;
    for (const Cookie& c : cookies_) {
        if (c.secure || (c.expires && c.expiry <= now)) continue;
        if (c.hostOnly ? lowerHost != c.domain : !InDomain(lowerHost, c.domain)) continue;
        if (path.compare(0, c.path.size(), c.path) != 0) continue;
        if (!c.ports.empty() && std::find(c.ports.begin(), c.ports.end(), port) == c.ports.end()) continue;
        matching.push_back(&c);
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
    std::string value;
    for (const Cookie* c : matching) value += (value.empty() ? "" : "; ") + c->name + "=" + c->value;
    return value;
}

}  // namespace core
