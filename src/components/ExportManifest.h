#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// The manifest at the root of an export file: a UTF-8 text of "Key: value"
// lines whose first line names the format and its version. Values escape
// backslash, CR and LF as \\, \r and \n, so every value stays on its line.
//
//   Vantreel export 1
//   Title: Fixtures of line 3
//   User: anna
//   Date: 2026-12-06 14:35:07
//   Comments: first line\nsecond line
//   Fix: 1
//   Source: 1
//   Executable: 0
//   Part: BRACKET
//   Additional: BRACKET	Additional Files/drawing.pdf
//
// Each part's files are stored below "parts/<name>/". "Additional" lines list
// a part's extra files, in their order, as paths relative to the part.
struct ExportManifest {
    struct PartEntry {
        std::string name;
        std::vector<std::string> additional;  // relative to the part's folder
    };

    static constexpr int kFormatVersion = 1;
    static constexpr const char* kEntryName = "vantreel-export.txt";
    static constexpr const char* kPartsFolder = "parts/";
    static constexpr std::size_t kMaxSize = 1024 * 1024;

    int version = kFormatVersion;
    std::string title;
    std::string user;
    std::string date;
    std::string comments;
    bool fix = false;
    bool source = true;
    bool executable = true;
    std::vector<PartEntry> parts;

    const PartEntry* Find(std::string_view name) const;
};

std::string WriteManifest(const ExportManifest& manifest);

// The manifest in text, or nothing with the reason in *reason: another first
// line, a newer version, an unknown key, a part listed twice or with an
// unusable name, an extra file that is no safe relative path.
std::optional<ExportManifest> ParseManifest(std::string_view text, std::string* reason = nullptr);

}  // namespace vantreel
