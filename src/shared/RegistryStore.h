#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vantreel {

// Registry value types, generated from RegTypes.def.
enum RegType : uint32_t {
#define REG_TYPE(name, code) name = code,
#include "shared/RegTypes.def"
#undef REG_TYPE
};

// "REG_SZ" for 1; empty for a code outside the list.
std::string_view RegTypeName(uint32_t type) noexcept;
// The code of a type name such as "REG_DWORD"; nullopt for an unknown name.
std::optional<uint32_t> RegTypeFromName(std::string_view name) noexcept;

// The two hives the library uses.
enum class RegHive { LocalMachine, ClassesRoot };

using RegKeyId = int64_t;

// One value: its name ("" for the default value), type and data bytes. String
// types hold their text as UTF-8 with the terminating NULs Windows keeps.
struct RegValue {
    std::string name;
    uint32_t type = REG_SZ;
    std::string data;
};

// One subkey: its id and its name as created.
struct RegSubkey {
    RegKeyId id = 0;
    std::string name;
};

// The station's registry: a tree of keys and values in one SQLite database,
// shared safely by every process of the station. Key and value names compare
// without regard to ASCII letter case and keep the case they were created
// with; keys and values enumerate in creation order. Each write is one
// transaction; a writer waits up to ten seconds for another one.
//
// A database that does not exist or cannot be read behaves as an empty
// registry; the first write creates it. A damaged database raises
// vantreel::Error 5003 on use.
class RegistryStore {
  public:
    // The store at $VANTREEL_REGISTRY, else /var/lib/vantreel/registry.db,
    // shared by the callers of one thread.
    static std::shared_ptr<RegistryStore> Open();
    static std::shared_ptr<RegistryStore> OpenAt(const std::string& path);
    static std::string DefaultPath();
    // Drops this thread's connections (before fork, say); stores in use stay valid.
    static void ForgetThreadStores();

    explicit RegistryStore(std::string path);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    const std::string& Path() const noexcept { return path_; }

    // The key at the top of a hive; it always exists.
    static RegKeyId Root(RegHive hive) noexcept;

    // The key at path below parent; components are separated by "\" and
    // empty components are skipped. nullopt when a component is missing.
    std::optional<RegKeyId> FindKey(RegKeyId parent, std::string_view path);
    // The key named name (one component) below parent, created when missing.
    RegKeyId CreateKey(RegKeyId parent, std::string_view name);
    bool KeyExists(RegKeyId key);
    std::string KeyName(RegKeyId key);
    std::optional<RegKeyId> Parent(RegKeyId key);

    std::vector<RegSubkey> Subkeys(RegKeyId key);
    std::vector<RegValue> Values(RegKeyId key);
    std::optional<RegValue> Value(RegKeyId key, std::string_view name);

    void SetValue(RegKeyId key, std::string_view name, uint32_t type, std::string_view data);
    // True when a value was deleted.
    bool DeleteValue(RegKeyId key, std::string_view name);
    // Deletes the key with everything below it; a hive root cannot be deleted.
    void DeleteKey(RegKeyId key);

    // Runs body as one transaction: everything it writes lands, or nothing
    // does when it throws. Calls may nest; the outermost one commits.
    void Transaction(const std::function<void()>& body);

  private:
    class Statement;

    bool Connect(bool forWriting);
    void Close() noexcept;
    sqlite3_stmt* Prepare(const char* sql);
    void Execute(const char* sql);
    [[noreturn]] void Fail(const std::string& what) const;
    void Begin();
    void Commit();
    void Rollback() noexcept;

    std::string path_;
    sqlite3* db_ = nullptr;
    bool writable_ = false;
    int transactionDepth_ = 0;
    uint64_t inode_ = 0;  // of the file the connection has open
    uint64_t device_ = 0;
    std::map<const char*, sqlite3_stmt*> statements_;  // prepared once, by their SQL text
};

// Key and value names compare by their ASCII upper-case form.
std::string FoldRegistryName(std::string_view name);

}  // namespace vantreel
