#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/frame.h"
#include "search/search_request.h"
#include "update/update_page.h"

namespace quavik {

namespace {

std::string endpoint_host(std::string_view compiled_in, std::string_view variable) {
    std::string warning;
    std::string host =
        resolve_endpoint_host(compiled_in, std::getenv(std::string(variable).c_str()), &warning);
    if (!warning.empty()) {
        std::fprintf(stderr, "quavik: %s\n", warning.c_str());
    }
    return host;
}

}  // namespace

void apply_endpoint_configuration(Program& program) {
    program.endpoints.search_host = endpoint_host(kSearchHost, kSearchHostVariable);
    program.endpoints.update_host = endpoint_host(kUpdateServiceHost, kUpdateHostVariable);
}

}  // namespace quavik
