#pragma once

#include <chrono>
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

// The hives of a Windows registry, generated from RegHives.def. Only the kept
// ones (HKEY_LOCAL_MACHINE, and HKEY_CLASSES_ROOT as its view of
// SOFTWARE\Classes) exist here; the others are known by name so that .reg
// files and reg commands naming them get a clear answer.
enum class RegHive {
#define REG_HIVE(id, name, shortName, kept) id,
#include "shared/RegHives.def"
#undef REG_HIVE
};

// "HKEY_LOCAL_MACHINE" for LocalMachine.
std::string_view RegHiveName(RegHive hive) noexcept;
// Whether this registry keeps the hive's keys.
bool RegHiveKept(RegHive hive) noexcept;
// The hive named by its full or short name in any letter case.
std::optional<RegHive> RegHiveFromName(std::string_view name) noexcept;

// The limits a Windows registry sets, enforced on every path that creates keys
// or values: a key lies at most this many levels below HKEY_LOCAL_MACHINE, a
// key name has at most 255 and a value name at most 16383 UTF-16 characters.
inline constexpr int kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// The length of a UTF-8 name in UTF-16 code units, as Windows measures names:
// one unit per character, two for one beyond the BMP (counted by lead bytes).
std::size_t RegistryNameLength(std::string_view name) noexcept;

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
// with. Subkeys enumerate in case-insensitive alphabetical order, as a Windows
// hive keeps them; values in creation order. Each write is one transaction; a
// writer waits up to ten seconds for another one.
//
// One view, as the library sees a 64-bit Windows station: a key
// "WOW6432Node" directly below HKEY_LOCAL_MACHINE\SOFTWARE or below
// HKEY_CLASSES_ROOT is the key it sits in (SOFTWARE\WOW6432Node\X is
// SOFTWARE\X), and HKEY_CLASSES_ROOT is the key HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
// Both always exist and cannot be deleted.
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
    // A name that is empty, holds "\\" or is too long, and a key deeper than
    // kMaxKeyDepth, raise Error 5000.
    RegKeyId CreateKey(RegKeyId parent, std::string_view name);
    // The key at path below parent, every missing component created, in one
    // transaction.
    RegKeyId CreatePath(RegKeyId parent, std::string_view path);
    // The number of levels key lies below HKEY_LOCAL_MACHINE (0 for it).
    int Depth(RegKeyId key);
    bool KeyExists(RegKeyId key);
    std::string KeyName(RegKeyId key);
    std::optional<RegKeyId> Parent(RegKeyId key);

    std::vector<RegSubkey> Subkeys(RegKeyId key);
    std::vector<RegValue> Values(RegKeyId key);
    std::optional<RegValue> Value(RegKeyId key, std::string_view name);

    void SetValue(RegKeyId key, std::string_view name, uint32_t type, std::string_view data);
    // True when a value was deleted.
    bool DeleteValue(RegKeyId key, std::string_view name);
    // Deletes the key with everything below it. A hive root and the keys that
    // hold HKEY_CLASSES_ROOT cannot be deleted (Error 5001).
    void DeleteKey(RegKeyId key);

    // Runs body as one transaction: everything it writes lands, or nothing
    // does when it throws. Calls may nest; the outermost one commits.
    void Transaction(const std::function<void()>& body);

  private:
    class Statement;
    class ReadScope;

    bool Connect(bool forWriting);
    void Close() noexcept;
    sqlite3_stmt* Prepare(const char* sql);
    void Execute(const char* sql);
    [[noreturn]] void Fail(const std::string& what) const;
    void Begin();
    void Commit();
    void Rollback() noexcept;
    void Upgrade();
    void MergeInto(RegKeyId source, RegKeyId target, bool sourceWins);
    std::optional<RegKeyId> Child(RegKeyId parent, const std::string& folded);
    bool IsView(RegKeyId parent, std::string_view name);
    RegKeyId Software();

    std::string path_;
    sqlite3* db_ = nullptr;
    bool writable_ = false;
    int transactionDepth_ = 0;
    int readDepth_ = 0;                              // read transactions open (ReadScope)
    uint64_t inode_ = 0;                             // of the file the connection has open
    std::chrono::steady_clock::time_point checked_;  // when the file was last looked at
    uint64_t device_ = 0;
    std::map<const char*, sqlite3_stmt*> statements_;  // prepared once, by their SQL text
    RegKeyId software_ = 0;                            // HKLM\SOFTWARE, 0 until looked up
    std::map<RegKeyId, int> depths_;  // known depths, kept during one write transaction
};

// Key and value names compare by their ASCII upper-case form.
std::string FoldRegistryName(std::string_view name);

}  // namespace vantreel
