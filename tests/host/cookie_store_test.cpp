// The HTTP client's cookie store: which Set-Cookie and Set-Cookie2 values it
// keeps, and the Cookie value a later request of the run carries.
#include "core/cookie_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::CookieStore;

// A moment in 2024; the dates below are seen from it.
const int64_t kNow = 1718000000;

struct Set {
    const char* host;
    const char* path;
    std::string setCookie;
};

struct Case {
    const char* name;
    std::vector<Set> sets;
    const char* host;  // the later request
    const char* path;
    const char* cookie;
    int64_t later = 0;  // seconds after the cookies were set
};

void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    CookieStore store;
    for (const Set& s : c.sets) store.Take(s.host, s.path, s.setCookie, kNow);
    EXPECT_EQ(store.CookieValue(c.host, 80, c.path, kNow + c.later), c.cookie);
}

// Set-Cookie2 lines from host:port, and a later request on host:port.
struct Set2 {
    const char* host;
    int port;
    const char* path;
    std::string setCookie2;
};

struct Case2 {
    const char* name;
    std::vector<Set2> sets;
    const char* host;
    int port;
    const char* path;
    const char* cookie;
};

void Check(const Case2& c) {
    SCOPED_TRACE(c.name);
    CookieStore store;
    for (const Set2& s : c.sets) store.TakeSetCookie2(s.host, s.port, s.path, s.setCookie2, kNow);
    EXPECT_EQ(store.CookieValue(c.host, c.port, c.path, kNow), c.cookie);
}

TEST(CookieStore, DomainDecidesWhichHostsGetACookie) {
    const Case cases[] = {
        {"host only, any case", {{"Update.Example", "/f", "a=1"}}, "update.EXAMPLE", "/f", "a=1"},
        {"host only, not a subdomain", {{"update.example", "/f", "a=1"}}, "www.update.example", "/f", ""},
        {"host only, not the parent", {{"www.update.example", "/f", "a=1"}}, "update.example", "/f", ""},
        {"domain: itself", {{"www.example.com", "/f", "a=1; Domain=example.com"}}, "example.com", "/f", "a=1"},
        {"domain: a subdomain", {{"www.example.com", "/f", "a=1; Domain=example.com"}}, "a.b.Example.com", "/f",
         "a=1"},
        {"domain: a leading dot", {{"www.example.com", "/f", "a=1; Domain=.EXAMPLE.com"}}, "ftp.example.com", "/f",
         "a=1"},
        {"domain: not a name ending alike", {{"www.example.com", "/f", "a=1; Domain=example.com"}},
         "badexample.com", "/f", ""},
        {"domain the host is not in", {{"www.example.com", "/f", "a=1; Domain=other.com"}}, "other.com", "/f", ""},
        {"domain below the host", {{"example.com", "/f", "a=1; Domain=www.example.com"}}, "www.example.com", "/f",
         ""},
        {"an address has no parent domain", {{"10.0.0.1", "/f", "a=1; Domain=0.0.1"}}, "0.0.1", "/f", ""},
        {"an address as its own domain", {{"10.0.0.1", "/f", "a=1; Domain=10.0.0.1"}}, "10.0.0.1", "/f", "a=1"},
        {"an empty domain is no domain", {{"update.example", "/f", "a=1; Domain="}}, "www.update.example", "/f", ""},
    };
    for (const Case& c : cases) Check(c);
}

TEST(CookieStore, PathIsAPrefixOfTheRequestsPath) {
    const Case cases[] = {
        {"given path", {{"h", "/x", "a=1; Path=/dir"}}, "h", "/dir/sub/f", "a=1"},
        {"given path, itself", {{"h", "/x", "a=1; Path=/dir"}}, "h", "/dir", "a=1"},
        {"given path, any text after it", {{"h", "/x", "a=1; Path=/dir"}}, "h", "/dirx/f", "a=1"},
        {"given path, elsewhere", {{"h", "/x", "a=1; Path=/dir"}}, "h", "/other/f", ""},
        {"case counts", {{"h", "/x", "a=1; Path=/dir"}}, "h", "/DIR/f", ""},
        {"none: the request's folder", {{"h", "/dir/sub/f.ini", "a=1"}}, "h", "/dir/sub/g", "a=1"},
        {"none: not above that folder", {{"h", "/dir/sub/f.ini", "a=1"}}, "h", "/dir/g", ""},
        {"none, from the top folder", {{"h", "/f.ini", "a=1"}}, "h", "/other/g", "a=1"},
        {"not a path: the request's folder", {{"h", "/dir/f", "a=1; Path=dir"}}, "h", "/dir/g", "a=1"},
        {"not a path: nothing above it", {{"h", "/dir/f", "a=1; Path=dir"}}, "h", "/g", ""},
    };
    for (const Case& c : cases) Check(c);
}

TEST(CookieStore, ExpiredAndSecureCookiesAreNeverSent) {
    const Case cases[] = {
        {"no expiry: the whole run", {{"h", "/", "a=1"}}, "h", "/", "a=1", 10 * 365 * 86400},
        {"max-age, before its end", {{"h", "/", "a=1; Max-Age=60"}}, "h", "/", "a=1", 59},
        {"max-age, at its end", {{"h", "/", "a=1; Max-Age=60"}}, "h", "/", "", 60},
        {"max-age 0", {{"h", "/", "a=1; Max-Age=0"}}, "h", "/", ""},
        {"max-age below 0", {{"h", "/", "a=1; Max-Age=-5"}}, "h", "/", ""},
        {"max-age that is no number", {{"h", "/", "a=1; Max-Age=5s"}}, "h", "/", "a=1", 3600},
        {"expires in the past", {{"h", "/", "a=1; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}}, "h", "/", ""},
        {"expires later", {{"h", "/", "a=1; Expires=Fri, 01 Jan 2100 00:00:00 GMT"}}, "h", "/", "a=1", 86400},
        {"expires that is no date", {{"h", "/", "a=1; Expires=soon"}}, "h", "/", "a=1"},
        {"max-age wins over a later expires",
         {{"h", "/", "a=1; Max-Age=0; Expires=Fri, 01 Jan 2100 00:00:00 GMT"}}, "h", "/", ""},
        {"max-age wins over an earlier expires",
         {{"h", "/", "a=1; Expires=Thu, 01 Jan 1970 00:00:00 GMT; Max-Age=60"}}, "h", "/", "a=1"},
        {"secure", {{"h", "/", "a=1; Secure"}}, "h", "/", ""},
        {"secure, in another case, beside a plain one", {{"h", "/", "a=1; SECURE"}, {"h", "/", "b=2"}}, "h", "/",
         "b=2"},
    };
    for (const Case& c : cases) Check(c);
}

TEST(CookieStore, ACookieReplacesTheOneOfItsNameDomainAndPath) {
    const Case cases[] = {
        {"new value, in the old one's place",
         {{"h", "/", "a=1"}, {"h", "/", "b=2"}, {"h", "/", "a=3"}}, "h", "/", "a=3; b=2"},
        {"other path: both, the longer path first",
         {{"h", "/", "a=1; Path=/"}, {"h", "/", "a=2; Path=/dir"}}, "h", "/dir/f", "a=2; a=1"},
        {"other host: each its own", {{"a.example", "/", "a=1"}, {"b.example", "/", "a=2"}}, "b.example", "/",
         "a=2"},
        {"the domain's replaces the host's", {{"h.example", "/", "a=1"}, {"w.h.example", "/", "a=2; Domain=h.example"}},
         "h.example", "/", "a=2"},
        {"an expired one removes it", {{"h", "/", "a=1"}, {"h", "/", "b=2"}, {"h", "/", "a=; Max-Age=0"}}, "h", "/",
         "b=2"},
        {"an expired one leaves other paths",
         {{"h", "/", "a=1; Path=/dir"}, {"h", "/", "a=; Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}}, "h",
         "/dir/f", "a=1"},
        {"blanks around name and value go", {{"h", "/", "  a  =  1 2  ; Path=/"}}, "h", "/", "a=1 2"},
        {"an empty value is a value", {{"h", "/", "a="}}, "h", "/", "a="},
    };
    for (const Case& c : cases) Check(c);
}

TEST(CookieStore, MalformedCookiesAreLeftOutAndLeaveTheOthers) {
    const std::string big(4096, 'v');
    const Case cases[] = {
        {"no equals sign", {{"h", "/", "b=2"}, {"h", "/", "a"}}, "h", "/", "b=2"},
        {"no name", {{"h", "/", "b=2"}, {"h", "/", "=1"}}, "h", "/", "b=2"},
        {"empty", {{"h", "/", "b=2"}, {"h", "/", ""}}, "h", "/", "b=2"},
        {"a control byte", {{"h", "/", "b=2"}, {"h", "/", "a=1\x01"}}, "h", "/", "b=2"},
        {"over 4096 bytes", {{"h", "/", "b=2"}, {"h", "/", "a=" + big}}, "h", "/", "b=2"},
        {"attributes without values", {{"h", "/", "a=1; ; Path; HttpOnly; =x"}}, "h", "/", "a=1"},
    };
    for (const Case& c : cases) Check(c);

    CookieStore store;
    store.Take("h", "/", "a=" + big.substr(2), kNow);  // 4096 bytes with its name
    EXPECT_EQ(store.CookieValue("h", 80, "/", kNow), "a=" + big.substr(2));
}

TEST(CookieStore, WhenFullTheOldestGoes) {
    CookieStore store;
    std::string all;
    for (size_t i = 0; i <= CookieStore::kMaxCookies; ++i) {
        std::string pair = "c" + std::to_string(i) + "=" + std::to_string(i);
        store.Take("h", "/", pair, kNow);
        if (i > 0) all += (all.empty() ? "" : "; ") + pair;
    }
    EXPECT_EQ(store.CookieValue("h", 80, "/", kNow), all);
}

TEST(CookieStore, SetCookie2AttributeValuesMayBeQuoted) {
    const Case2 cases[] = {
        {"path", {{"h", 80, "/x", "a=1; Version=\"1\"; Path=\"/dir\""}}, "h", 80, "/dir/f", "a=1"},
        {"path, elsewhere", {{"h", 80, "/x", "a=1; Version=\"1\"; Path=\"/dir\""}}, "h", 80, "/other/f", ""},
        {"path with an escape", {{"h", 80, "/x", "a=1; Path=\"/d\\ir\""}}, "h", 80, "/dir/f", "a=1"},
        {"domain", {{"www.example.com", 80, "/f", "a=1; Domain=\".Example.com\""}}, "ftp.example.com", 80, "/f",
         "a=1"},
        {"domain the host is not in", {{"www.example.com", 80, "/f", "a=1; Domain=\"other.com\""}}, "other.com", 80,
         "/f", ""},
        {"max-age", {{"h", 80, "/", "a=1; Max-Age=\"0\""}}, "h", 80, "/", ""},
        {"a cookie's own value is kept as sent", {{"h", 80, "/", "a=\"x y\"; Version=1"}}, "h", 80, "/",
         "a=\"x y\""},
        {"an escaped quote does not end it", {{"h", 80, "/", "a=\"x\\\",y\", b=2"}}, "h", 80, "/",
         "a=\"x\\\",y\"; b=2"},
        {"version, discard and comments change nothing",
         {{"h", 80, "/", "a=1; Version=1; Discard; Comment=\"x; y\"; CommentURL=\"http://h/a,b\""}}, "h", 80, "/",
         "a=1"},
        {"secure", {{"h", 80, "/", "a=1; Secure=\"\", b=2"}}, "h", 80, "/", "b=2"},
    };
    for (const Case2& c : cases) Check(c);
}

TEST(CookieStore, SetCookie2ListsCookiesBetweenCommas) {
    const Case2 cases[] = {
        {"two", {{"h", 80, "/", "a=1; Version=1, b=2; Version=1"}}, "h", 80, "/", "a=1; b=2"},
        {"attributes stay with their cookie", {{"h", 80, "/x", "a=1; Path=/dir, b=2"}}, "h", 80, "/f", "b=2"},
        {"blank entries", {{"h", 80, "/", " , a=1,, b=2 , "}}, "h", 80, "/", "a=1; b=2"},
        {"a comma inside quotes", {{"h", 80, "/", "a=\"1,2\"; Version=1"}}, "h", 80, "/", "a=\"1,2\""},
        {"a quote left open: nothing of the line", {{"h", 80, "/", "b=2, a=\"1, c=3"}}, "h", 80, "/", ""},
        {"an entry that is no pair: nothing of the line",
         {{"h", 80, "/", "b=2, a=1; Expires=Thu, 01 Jan 2100 00:00:00 GMT"}}, "h", 80, "/", ""},
        {"no name", {{"h", 80, "/", "=1, c=3"}}, "h", 80, "/", "c=3"},
        {"a name starting with $", {{"h", 80, "/", "$Path=/x, c=3"}}, "h", 80, "/", "c=3"},
        {"a semicolon in a quoted value", {{"h", 80, "/", "a=\"x; b=y\", c=3"}}, "h", 80, "/", "c=3"},
        {"a semicolon in a quoted name", {{"h", 80, "/", "\"x; b\"=y, c=3"}}, "h", 80, "/", "c=3"},
        {"a control byte in a quoted value", {{"h", 80, "/", "a=\"x\ry\", c=3"}}, "h", 80, "/", "c=3"},
    };
    for (const Case2& c : cases) Check(c);
}

TEST(CookieStore, SetCookie2PortLimitsThePortsItIsSentTo) {
    const Case2 cases[] = {
        {"none: any port", {{"h", 8080, "/", "a=1"}}, "h", 81, "/", "a=1"},
        {"without a list: the request's", {{"h", 8080, "/", "a=1; Port"}}, "h", 8080, "/", "a=1"},
        {"without a list: no other", {{"h", 8080, "/", "a=1; Port"}}, "h", 80, "/", ""},
        {"a list", {{"h", 8080, "/", "a=1; Port=\"80, 8080\""}}, "h", 80, "/", "a=1"},
        {"a list: no other", {{"h", 8080, "/", "a=1; Port=\"80, 8080\""}}, "h", 81, "/", ""},
        {"one port, unquoted", {{"h", 80, "/", "a=1; Port=80"}}, "h", 80, "/", "a=1"},
        {"a list without the request's port", {{"h", 81, "/", "a=1; Port=\"80,8080\""}}, "h", 80, "/", ""},
        {"no number", {{"h", 80, "/", "a=1; Port=\"80x\""}}, "h", 80, "/", ""},
        {"an empty list", {{"h", 80, "/", "a=1; Port=\"\""}}, "h", 80, "/", ""},
        {"an empty entry", {{"h", 80, "/", "a=1; Port=\"80,,81\""}}, "h", 80, "/", ""},
        {"port 0", {{"h", 80, "/", "a=1; Port=\"0,80\""}}, "h", 80, "/", ""},
        {"over 65535", {{"h", 80, "/", "a=1; Port=\"80,65616\""}}, "h", 80, "/", ""},
        {"replaced by one for any port", {{"h", 8080, "/", "a=1; Port"}, {"h", 8080, "/", "a=2"}}, "h", 81, "/",
         "a=2"},
    };
    for (const Case2& c : cases) Check(c);
}

}  // namespace
