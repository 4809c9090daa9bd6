#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

class Part;

// What of a part travels in an export, decided by the three choices:
//   source      the Visual Basic modules, forms and classes (*.bas, *.cls,
//               *.frm, *.frx, *.ctl, *.ctx, *.dsr, *.dsx, *.res);
//   executable  the built programs (*.exe, *.dll, *.ocx);
//   fix         the fixture data: the sub-folder "Fixture" (any letter case);
// everything else (the project file, the information file, skip files and all
// other files and folders) always travels, and so do the part's extra files.
// An extra file inside the part's folder keeps its place; one outside goes to
// "Additional Files/<its name>" ("name (2).ext" ... when two share a name).
struct PartContent {
    struct Entry {
        std::string source;    // full path on disk
        std::string relative;  // path inside the part, "/" separators
        bool directory = false;
        uint32_t mode = 0;  // permission bits
        uint64_t size = 0;  // bytes, for files
    };

    std::string name;
    std::vector<Entry> entries;           // folders before what they hold
    std::vector<std::string> additional;  // the extra files, relative, in list order

    static constexpr const char* kAdditionalFolder = "Additional Files";

    // Walks the part's folder without following links. A symbolic link, a
    // device, a pipe or a socket in it, an extra file that is not a regular
    // file, or a part name unusable as a folder name raises an error naming it.
    static PartContent Collect(const Part& part, bool fix, bool source, bool executable);
};

}  // namespace vantreel
