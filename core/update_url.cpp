#include "core/update_url.h"

#ifndef SCOURLY_UPDATE_HOST
#error "SCOURLY_UPDATE_HOST must name the update server's host[:port]"
#endif

namespace core {

namespace {
std::string ProductURL(const char* rest) {
    return std::string("http://") + SCOURLY_UPDATE_HOST + "/products/system-utility/pelmora-scourly/" + rest;
}
}  // namespace

std::string UpdateBaseURL() { return ProductURL("update/"); }

std::string HelpPageURL() { return ProductURL("help/"); }

}  // namespace core
