#pragma once

#include "dmis/model/CProgram.h"
#include "dmis/scan/Scanner.h"
#include "dmis/scan/TokenDump.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace vantreel::test {

// The tokens of a scanner in one line: "Word:F LeftParen Integer:1 EndOfLine".
inline std::string CompactTokens(const Scanner& scanner) {
    std::string text;
    for (int32_t position = 1; position <= scanner.TokenCount(); ++position) {
        if (!text.empty()) {
            text += ' ';
        }
        text += TokenKindName(scanner.TokenKindAt(position)).substr(2);
        const std::string data = TokenDataText(scanner, position);
        if (!data.empty()) {
            text += ':' + data;
        }
    }
    return text;
}

// Scans text as a file's content and returns the compact token list.
inline std::string ScanToTokens(std::string_view source) {
    CProgram program;
    Scanner scanner;
    scanner.ScanText(source, program, "test");
    return CompactTokens(scanner);
}

// A file in a fresh temporary directory, removed with the object.
class TempFile {
  public:
    explicit TempFile(std::string_view content, const char* name = "source.dmi") {
        char pattern[] = "/tmp/vantreel-test-XXXXXX";
        directory_ = mkdtemp(pattern);
        path_ = directory_ / name;
        std::ofstream(path_, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string Path() const { return path_.string(); }
    std::string Directory() const { return directory_.string(); }

  private:
    std::filesystem::path directory_;
    std::filesystem::path path_;
};

}  // namespace vantreel::test
