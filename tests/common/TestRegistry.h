#pragma once

#include "common/ErrorNumber.h"

#include "shared/RegEntry.h"
#include "shared/RegistryStore.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vantreel::test {

// A temporary directory removed with the object.
class TempDirectory {
  public:
    TempDirectory() {
        char pattern[] = "/tmp/vantreel-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Points the library at a registry database of its own for one test.
class RegistryTest : public testing::Test {
  protected:
    void SetUp() override {
        setenv("VANTREEL_REGISTRY", databasePath().c_str(), 1);
        store_ = RegistryStore::Open();
    }
    void TearDown() override { unsetenv("VANTREEL_REGISTRY"); }

    std::string databasePath() const { return directory_.File("registry.db"); }
    RegistryStore& Store() { return *store_; }

  public:
    // Sets a REG_SZ value below HKLM\SOFTWARE\Korvessa\<key>.
    void Set(const std::string& key, const std::string& name, const std::string& value) {
        RegEntry registry;
        registry.CreateKey(key);
        registry.SetString(name, value);
    }

  protected:
    TempDirectory directory_;
    std::shared_ptr<RegistryStore> store_;
};

}  // namespace vantreel::test
