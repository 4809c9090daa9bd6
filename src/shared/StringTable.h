#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantreel {

// The strings of one language and one group of IDs, read from a resource
// script: STRINGTABLE BEGIN ... END blocks of lines `ID "text"`, where a
// double quote inside the text is doubled and \n, \t and \\ are escapes.
// Lines starting with // are comments. The file is UTF-8.
class StringTable {
  public:
    // Reads a table; a file that cannot be read or parsed raises
    // vantreel::Error 5004 naming the file and line.
    static StringTable Load(const std::string& path);
    static StringTable Parse(std::string_view text, const std::string& name);

    std::optional<std::string_view> Find(int32_t id) const;
    const std::unordered_map<int32_t, std::string>& Strings() const noexcept { return strings_; }

  private:
    std::unordered_map<int32_t, std::string> strings_;
};

}  // namespace vantreel
