#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vantreel::cli {

// A station of its own in a temporary folder, for the time of the
// screenshots: the registry the tool was started with is neither read nor
// changed, and comes back (with the folder removed) when the object goes.
class ScratchStation {
  public:
    // tag names the folder (/tmp/vantreel-TAG-XXXXXX); throws vantreel::Error
    // when no folder can be made.
    explicit ScratchStation(const std::string& tag);
    ~ScratchStation();
    ScratchStation(const ScratchStation&) = delete;
    ScratchStation& operator=(const ScratchStation&) = delete;

    const std::filesystem::path& Directory() const { return directory_; }

    // A REG_SZ value below the library's root key, the key created as needed.
    void Set(const std::string& key, const std::string& name, const std::string& value) const;

  private:
    std::filesystem::path directory_;
    std::optional<std::string> previousRegistry_;
};

}  // namespace vantreel::cli
