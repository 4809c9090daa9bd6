#pragma once

#include <memory>

namespace vantreel {
class CProgram;
}

namespace vantreel::cli {

// A small measuring program assembled node by node through the model classes:
// a feature, a measurement block, a loop and an IF/ELSE block.
std::unique_ptr<CProgram> BuildDemoModel();

}  // namespace vantreel::cli
