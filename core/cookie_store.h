// The HTTP client's cookies: what the Set-Cookie headers of a run's answers
// stored, held in memory only, and the Cookie value each later request
// carries back. The client writes that value into its request itself, as
// the last header line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

class CookieStore {
public:
    // One Set-Cookie value of an answer to a request for `path` (the
    // target without its query) on `host` (as in the URL, no port). A cookie
    // without a name, a value with control bytes or over 4096 bytes, or one
    // naming a domain the host is not part of, is not stored. One with the
    // name, domain and path of a stored cookie replaces it; an expired one
    // only removes it. `now`: seconds since 1970.
    void Take(const std::string& host, const std::string& path, const std::string& setCookie, int64_t now);

    // "name=value" of every cookie for this request, joined by "; ": not
    // expired, not marked secure (no secure connection is ever made), its
    // domain matching the host without regard to case, its path a prefix of
    // the request's path. Longer paths first, then in the order stored.
    // Empty when none matches.
    std::string CookieValue(const std::string& host, const std::string& path, int64_t now) const;

    // The most cookies held: when one more comes, the oldest goes.
    static const size_t kMaxCookies = 50;

private:
    struct Cookie {
        std::string name, value;
        std::string domain;  // lower case, without a leading dot
        bool hostOnly = true;  // no Domain attribute: this host alone
        std::string path;
        bool secure = false;
        bool expires = false;  // false: kept for the whole run
        int64_t expiry = 0;
    };
    std::vector<Cookie> cookies_;
};

}  // namespace core
