#include "CommandRegistry.h"

#include <iostream>
#include <string>
#include <vector>

// Every verb registers itself (BuiltinCommands.cpp and the files of each dialog
// folder); the registry reads the command line.
int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return vantreel::cli::RunTool({argv + 1, argv + argc}, std::cout, std::cerr);
}
