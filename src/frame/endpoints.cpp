#include <cstdlib>

#include "frame/frame.h"

namespace quavik {

void apply_endpoint_configuration(Program&) {}

}  // namespace quavik
