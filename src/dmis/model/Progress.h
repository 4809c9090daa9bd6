#pragma once

#include <functional>

namespace vantreel {

// Called between the items of a long loop (parsing, teardown) so that a host
// can keep its user interface alive; may be empty.
using ProgressCallback = std::function<void()>;

}  // namespace vantreel
