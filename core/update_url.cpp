#include "core/update_url.h"

#ifndef SCOURLY_UPDATE_HOST
#error "SCOURLY_UPDATE_HOST must name the update server's host[:port]"
#endif

namespace core {

std::string UpdateBaseURL() {
    return std::string("http://") + SCOURLY_UPDATE_HOST +
           "/products/system-utility/pelmora-scourly/update/";
}

}  // namespace core
