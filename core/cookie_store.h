// The HTTP client's cookies: what the Set-Cookie and Set-Cookie2 headers of a
// run's answers stored, held in memory only, and the Cookie value each later
// request carries back. The client writes that value into its request
// itself, as the last header line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

class CookieStore {
public:
    // One Set-Cookie value of an answer to a request for `path` (the
    // target without its query) on `host` (as in the URL, no port). A cookie
    // without a name, a name or value with control bytes or a semicolon, one
    // over 4096 bytes, or one naming a domain the host is not part of, is not
    // stored. One with the name, domain and path of a stored cookie replaces
    // it; an expired one only removes it. `now`: seconds since 1970.
    void Take(const std::string& host, const std::string& path, const std::string& setCookie, int64_t now);

    // One Set-Cookie2 value, a list of cookies separated by commas, taken
    // each under the rules of Take, from a request on `port`. Attribute values
    // may be quoted strings; a cookie's own value is kept as sent, quotes and
    // all. Port limits a cookie to the ports it lists (without a list, to the
    // request's), and one whose list does not hold the request's port, or is
    // no list of ports, is not stored; names starting with "$" are not taken.
    // Version, Discard (every cookie lasts the run at most), Comment and
    // CommentURL change nothing. A line with a quote left open, or with a
    // piece between commas that is no name=value pair (the commas of an
    // unquoted date, say), gives no cookie at all: where its cookies begin
    // and end is not known.
    void TakeSetCookie2(const std::string& host, int port, const std::string& path, const std::string& setCookie2,
                        int64_t now);

    // "name=value" of every cookie for this request, joined by "; ": not
    // expired, not marked secure (no secure connection is ever made), its
    // domain matching the host without regard to case, its path a prefix of
    // the request's path, its port one it allows. Longer paths first, then
    // in the order stored. Empty when none matches.
    std::string CookieValue(const std::string& host, int port, const std::string& path, int64_t now) const;

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
        std::vector<int> ports;  // empty: any port
    };

    // One cookie of a header line, its name=value pair and then its
    // attributes as written, into `cookie`; false when it is not to be stored.
    static bool Read(const std::string& host, int port, const std::string& path,
                     const std::vector<std::string>& parts, bool setCookie2, int64_t now, Cookie& cookie);
    void Store(const Cookie& cookie, int64_t now);

    std::vector<Cookie> cookies_;
};

}  // namespace core
