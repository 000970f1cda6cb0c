// The HTTP client's cookie store: which Set-Cookie values it keeps, and the
// Cookie value a later request of the run carries.
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
    EXPECT_EQ(store.CookieValue(c.host, c.path, kNow + c.later), c.cookie);
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
    EXPECT_EQ(store.CookieValue("h", "/", kNow), "a=" + big.substr(2));
}

TEST(CookieStore, WhenFullTheOldestGoes) {
    CookieStore store;
    std::string all;
    for (size_t i = 0; i <= CookieStore::kMaxCookies; ++i) {
        std::string pair = "c" + std::to_string(i) + "=" + std::to_string(i);
        store.Take("h", "/", pair, kNow);
        if (i > 0) all += (all.empty() ? "" : "; ") + pair;
    }
    EXPECT_EQ(store.CookieValue("h", "/", kNow), all);
}

}  // namespace
