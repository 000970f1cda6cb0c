#include "core/update_url.h"

#ifndef SCOURLY_UPDATE_HOST
#error "SCOURLY_UPDATE_HOST must name the update server's host[:port]"
#endif

namespace core {

std::string ProductPageURL() {
    return std::string("http://") + SCOURLY_UPDATE_HOST + "/products/system-utility/pelmora-scourly/";
}

std::string UpdateBaseURL() { return ProductPageURL() + "update/"; }

std::string HelpPageURL() { return ProductPageURL() + "help/"; }

}  // namespace core
