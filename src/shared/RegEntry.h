#pragma once

#include "shared/RegistryStore.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantreel {

// Access to the station's configuration below HKEY_LOCAL_MACHINE\<DefaultRoot>
// with one key open at a time. Values are written as REG_SZ; values are read
// as text of at most 254 bytes (longer ones read as empty), with one trailing
// NUL removed. Booleans are stored as "true" and "false".
//
// Errors: 5000 a key cannot be created, 5001 a key cannot be opened, 5002 a
// value cannot be written; the description is the message in the current
// language with the key or value name.
class RegEntry {
  public:
    RegEntry();
    explicit RegEntry(std::shared_ptr<RegistryStore> store);
    ~RegEntry();

    // Copies the open key's values and subkeys into DefaultRoot\sKey (created
    // as needed); the open key stays open.
    void Copy(const std::string& sKey);
    // Opens DefaultRoot\sKey, creating every missing component.
    void CreateKey(const std::string& sKey);
    void DeleteValue(const std::string& sName);
    // Appends the names of the open key's subkeys to colKeys; returns its size.
    int16_t Query(std::vector<std::string>& colKeys);
    // Fills vValues with one column per value of the open key: (name, data,
    // "") and a last empty column; returns the number of values.
    int16_t QueryValues(std::vector<std::array<std::string, 3>>& vValues);
    // Unregisters a ProgID, its class and its type library under
    // HKEY_CLASSES_ROOT; never fails.
    void RemoveProgID(const std::string& sProgID);
    void SetBoolean(const std::string& sName, bool bValue);
    // Writes sValue as REG_SZ; an empty sValue deletes the value.
    void SetString(const std::string& sName, const std::string& sValue);
    // Deletes the subkey sKey of the open key with everything below it.
    void DeleteKey(const std::string& sKey);
    // Opens DefaultRoot\sKey (blanks and trailing backslashes removed).
    void OpenKey(const std::string& sKey);
    // Whether DefaultRoot\sKey exists; never fails, leaves the open key alone.
    bool TestKey(const std::string& sKey);
    bool GetBoolean(const std::string& sName);
    // The class ID registered for a ProgID; "" when there is none.
    std::string GetClassID(const std::string& sProgID);
    std::string GetString(const std::string& sName);
    // The value prefixed with the language code (DEUName), else the plain one.
    std::string GetStringInternational(const std::string& sName, int32_t lLangID);

    const std::string& DefaultRoot() const noexcept { return defaultRoot_; }
    void SetDefaultRoot(std::string root) { defaultRoot_ = std::move(root); }

    bool IsOpen() const noexcept { return current_.has_value(); }

  private:
    void CopyTree(RegKeyId source, const std::string& sKey);
    void CopyInternal(RegKeyId hDest, RegKeyId hSource);
    RegKeyId CreateInternal(RegKeyId hParent, const std::string& sPath);
    RegKeyId OpenInternal(RegKeyId hParent, const std::string& sPath);
    void DeleteInternal(RegKeyId hParent, const std::string& sKey);
    void CloseKey() noexcept { current_.reset(); }
    std::string RootedPath(const std::string& sKey) const { return defaultRoot_ + "\\" + sKey; }
    std::optional<std::string> DefaultValueOf(const std::string& classesRootPath);
    void DeleteClassesRootTree(const std::string& path);

    std::shared_ptr<RegistryStore> store_;
    std::optional<RegKeyId> current_;
    std::string defaultRoot_ = "SOFTWARE\\Korvessa";
};

// Whether a stored text means True: everything but "", "0", "no" and "false"
// (any letter case).
bool RegistryTextIsTrue(std::string_view text);

}  // namespace vantreel
