#include "shared/RegistryStore.h"
#include "shared/Text.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

namespace vantreel {
namespace {

constexpr RegKeyId kLocalMachine = 1;
constexpr RegKeyId kClassesRoot = 2;
// HKLM\SOFTWARE in a database created with the current layout, and in the
// empty registry that stands for a database not created yet.
constexpr RegKeyId kNewSoftware = 3;
constexpr int kBusyTimeoutMs = 10000;
constexpr std::chrono::milliseconds kReplacedCheckInterval{50};
// user_version of the current layout: HKEY_CLASSES_ROOT is SOFTWARE\Classes
// and no WOW6432Node key is stored. Version 0 kept HKEY_CLASSES_ROOT as a tree
// of its own and WOW6432Node keys as written.
constexpr int kLayoutVersion = 2;
constexpr std::string_view kViewKey = "WOW6432NODE";

struct RegHiveEntry {
    RegHive hive;
    std::string_view name;
    std::string_view shortName;
    bool kept;
};

constexpr RegHiveEntry kRegHives[] = {
#define REG_HIVE(id, name, shortName, kept) {RegHive::id, #name, #shortName, kept},
#include "shared/RegHives.def"
#undef REG_HIVE
};

struct RegTypeEntry {
    std::string_view name;
    uint32_t code;
};

constexpr RegTypeEntry kRegTypes[] = {
#define REG_TYPE(name, code) {#name, code},
#include "shared/RegTypes.def"
#undef REG_TYPE
};

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reg_keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS reg_values(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
INSERT OR IGNORE INTO reg_keys(id, parent, name, folded) VALUES
    (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
    (3, 1, 'SOFTWARE', 'SOFTWARE'),
    (2, 3, 'Classes', 'CLASSES');
PRAGMA user_version = 2;
)sql";

// The keys of the empty registry that stands for a database not created yet.
struct InitialKey {
    RegKeyId id;
    RegKeyId parent;
    std::string_view name;
};
constexpr InitialKey kInitialKeys[] = {
    {kLocalMachine, 0, "HKEY_LOCAL_MACHINE"},
    {kNewSoftware, kLocalMachine, "SOFTWARE"},
    {kClassesRoot, kNewSoftware, "Classes"},
};

const InitialKey* FindInitialKey(RegKeyId id) {
    for (const InitialKey& key : kInitialKeys) {
        if (key.id == id) {
            return &key;
        }
    }
    return nullptr;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> components;
    while (!path.empty()) {
        const std::size_t separator = path.find('\\');
        const std::string_view component = path.substr(0, separator);
        if (!component.empty()) {
            components.push_back(component);
        }
        if (separator == std::string_view::npos) {
            break;
        }
        path.remove_prefix(separator + 1);
    }
    return components;
}

}  // namespace

std::string_view RegTypeName(uint32_t type) noexcept {
    for (const RegTypeEntry& entry : kRegTypes) {
        if (entry.code == type) {
            return entry.name;
        }
    }
    return {};
}

std::optional<uint32_t> RegTypeFromName(std::string_view name) noexcept {
    for (const RegTypeEntry& entry : kRegTypes) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    return std::nullopt;
}

std::string FoldRegistryName(std::string_view name) {
    return ToUpperAscii(name);
}

std::string_view RegHiveName(RegHive hive) noexcept {
    return kRegHives[static_cast<int>(hive)].name;
}

bool RegHiveKept(RegHive hive) noexcept {
    return kRegHives[static_cast<int>(hive)].kept;
}

std::optional<RegHive> RegHiveFromName(std::string_view name) noexcept {
    for (const RegHiveEntry& entry : kRegHives) {
        if (EqualsIgnoringCase(name, entry.name) ||
            (!entry.shortName.empty() && EqualsIgnoringCase(name, entry.shortName))) {
            return entry.hive;
        }
    }
    return std::nullopt;
}

std::size_t RegistryNameLength(std::string_view name) noexcept {
    std::size_t units = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte adds nothing
        }
        units += byte >= 0xF0 ? 2 : 1;  // beyond the BMP: a surrogate pair
    }
    return units;
}

// A read transaction around several statements, unless a transaction is
// open already; it ends (without error) when the scope does.
class RegistryStore::ReadScope {
  public:
    explicit ReadScope(RegistryStore& store) : store_(store) {
        if (store_.transactionDepth_ > 0) {
            return;
        }
        if (store_.readDepth_ == 0) {
            sqlite3_stmt* begin = store_.Prepare("BEGIN");
            const int result = sqlite3_step(begin);
            sqlite3_reset(begin);
            if (result != SQLITE_DONE) {
                store_.Fail(sqlite3_errmsg(store_.db_));
            }
        }
        ++store_.readDepth_;
        active_ = true;
    }
    ~ReadScope() {
        if (active_ && --store_.readDepth_ == 0) {
            sqlite3_stmt* commit = store_.Prepare("COMMIT");
            if (sqlite3_step(commit) != SQLITE_DONE) {
                sqlite3_exec(store_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
            }
            sqlite3_reset(commit);
        }
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

  private:
    RegistryStore& store_;
    bool active_ = false;
};

// A prepared statement, kept by the connection and reset after each use.
class RegistryStore::Statement {
  public:
    Statement(RegistryStore& store, const char* sql) : store_(store), stmt_(store.Prepare(sql)) {}
    ~Statement() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value) {
        Check(sqlite3_bind_int64(stmt_, index, value));
        return *this;
    }
    Statement& Bind(int index, std::string_view text) {
        Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    Statement& BindBlob(int index, std::string_view bytes) {
        Check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }

    // True while a row is there.
    bool Step() {
        const int result = sqlite3_step(stmt_);
        if (result == SQLITE_ROW) {
            return true;
        }
        if (result != SQLITE_DONE) {
            store_.Fail(sqlite3_errmsg(store_.db_));
        }
        return false;
    }

    int64_t Integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) const {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        return bytes ? std::string(bytes,
                                   static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                     : std::string();
    }

  private:
    void Check(int result) {
        if (result != SQLITE_OK) {
            store_.Fail(sqlite3_errmsg(store_.db_));
        }
    }

    RegistryStore& store_;
    sqlite3_stmt* stmt_ = nullptr;
};

std::string RegistryStore::DefaultPath() {
    const char* path = std::getenv("VANTREEL_REGISTRY");
    return path != nullptr && *path != '\0' ? path : "/var/lib/vantreel/registry.db";
}

std::shared_ptr<RegistryStore> RegistryStore::Open() {
    return OpenAt(DefaultPath());
}

namespace {

// One connection per thread and database, kept for the thread's life: SQLite
// connections are not shared between threads here, and opening one for every
// call would cost more than the call.
std::map<std::string, std::shared_ptr<RegistryStore>>& ThreadStores() {
    thread_local std::map<std::string, std::shared_ptr<RegistryStore>> stores;
    return stores;
}

}  // namespace

std::shared_ptr<RegistryStore> RegistryStore::OpenAt(const std::string& path) {
    std::shared_ptr<RegistryStore>& store = ThreadStores()[path];
    if (!store) {
        store = std::make_shared<RegistryStore>(path);
    }
    return store;
}

void RegistryStore::ForgetThreadStores() {
    ThreadStores().clear();
}

RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {}

RegistryStore::~RegistryStore() {
    Close();
}

void RegistryStore::Close() noexcept {
    for (const auto& [sql, stmt] : statements_) {
        sqlite3_finalize(stmt);
    }
    statements_.clear();
    software_ = 0;
    depths_.clear();
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

sqlite3_stmt* RegistryStore::Prepare(const char* sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        return found->second;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        Fail(sqlite3_errmsg(db_));
    }
    statements_.emplace(sql, stmt);
    return stmt;
}

void RegistryStore::Fail(const std::string& what) const {
    throw MakeError(RunTimeError::RegistryUnavailable, "RegistryStore",
                    "The registry database '" + path_ + "' cannot be used: " + what);
}

void RegistryStore::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string what = message != nullptr ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        Fail(what);
    }
}

bool RegistryStore::Connect(bool forWriting) {
    if (db_ != nullptr && transactionDepth_ == 0 && readDepth_ == 0) {
        // A database file replaced under an open connection (restored from a
        // backup, say) is opened anew. Looking costs a system call, so a
        // connection looks at most every kReplacedCheckInterval; a write
        // always looks first.
        const auto now = std::chrono::steady_clock::now();
        if (forWriting || now - checked_ >= kReplacedCheckInterval) {
            checked_ = now;
            struct stat info {};
            if (stat(path_.c_str(), &info) != 0 || info.st_ino != inode_ ||
                info.st_dev != device_) {
                Close();
            }
        }
    }
    if (db_ != nullptr && (writable_ || !forWriting)) {
        return true;
    }
    std::error_code error;
    if (!forWriting && !std::filesystem::exists(path_, error)) {
        return false;  // no database yet: an empty registry
    }
    Close();
    if (forWriting) {
        const std::filesystem::path directory = std::filesystem::path(path_).parent_path();
        if (!directory.empty()) {
            std::filesystem::create_directories(directory, error);
        }
    }
    const int flags =
        forWriting ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READWRITE;
    int result = sqlite3_open_v2(path_.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    writable_ = result == SQLITE_OK;
    if (result != SQLITE_OK && !forWriting) {
        Close();
        result = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
    }
    if (result != SQLITE_OK) {
        const std::string what = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        Close();
        if (forWriting) {
            Fail(what);
        }
        return false;  // unreadable: an empty registry
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 0);
    struct stat info {};
    if (stat(path_.c_str(), &info) == 0) {
        inode_ = info.st_ino;
        device_ = info.st_dev;
    }
    checked_ = std::chrono::steady_clock::now();
    // The first query also tells a damaged file apart from a database.
    bool hasTables = false;
    {
        Statement schema(*this, "SELECT count(*) FROM sqlite_master WHERE name = 'reg_values'");
        hasTables = schema.Step() && schema.Integer(0) > 0;
    }
    if (writable_) {
        Execute("PRAGMA synchronous=NORMAL");
        if (!hasTables) {
            Execute("PRAGMA journal_mode=WAL");
            Execute("BEGIN IMMEDIATE");
            try {
                Execute(kSchema);
                Execute("COMMIT");
            } catch (...) {
                Rollback();
                throw;
            }
        } else {
            int version = 0;
            {
                Statement read(*this, "PRAGMA user_version");
                version = read.Step() ? static_cast<int>(read.Integer(0)) : 0;
            }
            if (version < kLayoutVersion) {
                Upgrade();
            }
        }
        return true;
    }
    if (!hasTables) {
        Close();
        if (forWriting) {
            Fail("it cannot be written");
        }
        return false;  // a read-only file without our tables: empty
    }
    if (forWriting) {
        Fail("it cannot be written");
    }
    return true;
}

RegKeyId RegistryStore::Root(RegHive hive) noexcept {
    switch (hive) {
        case RegHive::LocalMachine:
            return kLocalMachine;
        case RegHive::ClassesRoot:
            return kClassesRoot;
        default:
            return 0;  // not kept: no key has this id
    }
}

RegKeyId RegistryStore::Software() {
    if (software_ == 0) {
        Statement find(*this, "SELECT parent FROM reg_keys WHERE id = 2");
        software_ = find.Step() ? find.Integer(0) : kNewSoftware;
    }
    return software_;
}

// Whether name, below parent, is the view key that stands for parent itself.
bool RegistryStore::IsView(RegKeyId parent, std::string_view name) {
    if (!EqualsIgnoringCase(name, kViewKey)) {
        return false;
    }
    if (parent == kClassesRoot) {
        return true;
    }
    return parent == (db_ != nullptr ? Software() : kNewSoftware);
}

std::optional<RegKeyId> RegistryStore::Child(RegKeyId parent, const std::string& folded) {
    Statement find(*this, "SELECT id FROM reg_keys WHERE parent = ?1 AND folded = ?2");
    find.Bind(1, parent).Bind(2, folded);
    return find.Step() ? std::optional<RegKeyId>(find.Integer(0)) : std::nullopt;
}

std::optional<RegKeyId> RegistryStore::FindKey(RegKeyId parent, std::string_view path) {
    const std::vector<std::string_view> components = SplitPath(path);
    const bool connected = Connect(false);
    if (components.empty()) {
        return KeyExists(parent) ? std::optional<RegKeyId>(parent) : std::nullopt;
    }
    // The lookups of one path share one read transaction: one snapshot, and
    // the locks a read takes are taken once instead of once per component.
    std::optional<ReadScope> scope;
    if (connected && components.size() > 1) {
        scope.emplace(*this);
    }
    std::string folded;
    RegKeyId key = parent;
    for (const std::string_view component : components) {
        if (IsView(key, component)) {
            continue;
        }
        if (!connected) {
            const std::string folded = FoldRegistryName(component);
            std::optional<RegKeyId> found;
            for (const InitialKey& initial : kInitialKeys) {
                if (initial.parent == key && FoldRegistryName(initial.name) == folded) {
                    found = initial.id;
                }
            }
            if (!found) {
                return std::nullopt;
            }
            key = *found;
            continue;
        }
        folded.assign(component);
        MakeUpperAscii(folded);
        const std::optional<RegKeyId> child = Child(key, folded);
        if (!child) {
            return std::nullopt;
        }
        key = *child;
    }
    return key;
}

RegKeyId RegistryStore::CreateKey(RegKeyId parent, std::string_view name) {
    if (name.empty() || RegistryNameLength(name) > kMaxKeyNameLength ||
        name.find('\\') != name.npos) {
        throw MakeError(RunTimeError::KeyNotCreated, "RegistryStore",
                        "'" + std::string(name) + "' is not a valid key name");
    }
    RegKeyId created = 0;
    Transaction([&] {
        if (!KeyExists(parent)) {
            throw MakeError(RunTimeError::KeyNotCreated, "RegistryStore",
                            "the parent of '" + std::string(name) + "' no longer exists");
        }
        if (IsView(parent, name)) {
            created = parent;
            return;
        }
        const std::string folded = FoldRegistryName(name);
        if (const std::optional<RegKeyId> found = Child(parent, folded)) {
            created = *found;
            return;
        }
        const int depth = Depth(parent) + 1;
        if (depth > kMaxKeyDepth) {
            throw MakeError(RunTimeError::KeyNotCreated, "RegistryStore",
                            "the key '" + std::string(name) + "' would lie more than " +
                                std::to_string(kMaxKeyDepth) + " levels deep");
        }
        Statement insert(*this, "INSERT INTO reg_keys(parent, name, folded) VALUES(?1, ?2, ?3)");
        insert.Bind(1, parent).Bind(2, name).Bind(3, folded);
        insert.Step();
        created = sqlite3_last_insert_rowid(db_);
        depths_[created] = depth;
    });
    return created;
}

RegKeyId RegistryStore::CreatePath(RegKeyId parent, std::string_view path) {
    RegKeyId key = parent;
    Transaction([&] {
        for (const std::string_view component : SplitPath(path)) {
            key = CreateKey(key, component);
        }
    });
    return key;
}

int RegistryStore::Depth(RegKeyId key) {
    if (const auto known = depths_.find(key); known != depths_.end()) {
        return known->second;
    }
    if (!Connect(false)) {
        int depth = 0;
        for (const InitialKey* initial = FindInitialKey(key); initial != nullptr && initial->parent;
             initial = FindInitialKey(initial->parent)) {
            ++depth;
        }
        return depth;
    }
    Statement up(*this,
                 "WITH RECURSIVE up(id, n) AS (SELECT ?1, 0 UNION ALL SELECT k.parent, up.n + 1 "
                 "FROM reg_keys k JOIN up ON k.id = up.id WHERE k.parent IS NOT NULL) "
                 "SELECT max(n) FROM up");
    up.Bind(1, key);
    const int depth = up.Step() ? static_cast<int>(up.Integer(0)) : 0;
    if (transactionDepth_ > 0) {
        depths_[key] = depth;
    }
    return depth;
}

bool RegistryStore::KeyExists(RegKeyId key) {
    if (!Connect(false)) {
        return FindInitialKey(key) != nullptr;
    }
    Statement find(*this, "SELECT 1 FROM reg_keys WHERE id = ?1");
    find.Bind(1, key);
    return find.Step();
}

std::string RegistryStore::KeyName(RegKeyId key) {
    if (!Connect(false)) {
        const InitialKey* initial = FindInitialKey(key);
        return initial != nullptr ? std::string(initial->name) : std::string();
    }
    Statement find(*this, "SELECT name FROM reg_keys WHERE id = ?1");
    find.Bind(1, key);
    return find.Step() ? find.Text(0) : std::string();
}

std::optional<RegKeyId> RegistryStore::Parent(RegKeyId key) {
    if (!Connect(false)) {
        const InitialKey* initial = FindInitialKey(key);
        return initial != nullptr && initial->parent != 0 ? std::optional<RegKeyId>(initial->parent)
                                                          : std::nullopt;
    }
    Statement find(*this, "SELECT parent FROM reg_keys WHERE id = ?1 AND parent IS NOT NULL");
    find.Bind(1, key);
    return find.Step() ? std::optional<RegKeyId>(find.Integer(0)) : std::nullopt;
}

std::vector<RegSubkey> RegistryStore::Subkeys(RegKeyId key) {
    std::vector<RegSubkey> subkeys;
    if (!Connect(false)) {
        for (const InitialKey& initial : kInitialKeys) {
            if (initial.parent == key && initial.parent != 0) {
                subkeys.push_back({initial.id, std::string(initial.name)});
            }
        }
        return subkeys;
    }
    // The order of a Windows hive: by the upper-case name, which is what
    // folded holds (and what the unique index is sorted by).
    Statement list(*this, "SELECT id, name FROM reg_keys WHERE parent = ?1 ORDER BY folded, id");
    list.Bind(1, key);
    while (list.Step()) {
        subkeys.push_back({list.Integer(0), list.Text(1)});
    }
    return subkeys;
}

std::vector<RegValue> RegistryStore::Values(RegKeyId key) {
    std::vector<RegValue> values;
    if (!Connect(false)) {
        return values;
    }
    Statement list(*this, "SELECT name, type, data FROM reg_values WHERE key = ?1 ORDER BY id");
    list.Bind(1, key);
    while (list.Step()) {
        values.push_back({list.Text(0), static_cast<uint32_t>(list.Integer(1)), list.Text(2)});
    }
    return values;
}

std::optional<RegValue> RegistryStore::Value(RegKeyId key, std::string_view name) {
    if (!Connect(false)) {
        return std::nullopt;
    }
    Statement find(*this, "SELECT name, type, data FROM reg_values WHERE key = ?1 AND folded = ?2");
    find.Bind(1, key).Bind(2, FoldRegistryName(name));
    if (!find.Step()) {
        return std::nullopt;
    }
    return RegValue{find.Text(0), static_cast<uint32_t>(find.Integer(1)), find.Text(2)};
}

void RegistryStore::SetValue(RegKeyId key, std::string_view name, uint32_t type,
                             std::string_view data) {
    if (RegistryNameLength(name) > kMaxValueNameLength) {
        throw MakeError(
            RunTimeError::ValueNotWritten, "RegistryStore",
            "a value name has at most " + std::to_string(kMaxValueNameLength) + " characters");
    }
    Transaction([&] {
        if (!KeyExists(key)) {
            throw MakeError(RunTimeError::ValueNotWritten, "RegistryStore",
                            "the key of value '" + std::string(name) + "' no longer exists");
        }
        Statement upsert(*this,
                         "INSERT INTO reg_values(key, name, folded, type, data) "
                         "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(key, folded) "
                         "DO UPDATE SET type = excluded.type, data = excluded.data");
        upsert.Bind(1, key).Bind(2, name).Bind(3, FoldRegistryName(name));
        upsert.Bind(4, static_cast<int64_t>(type)).BindBlob(5, data);
        upsert.Step();
    });
}

bool RegistryStore::DeleteValue(RegKeyId key, std::string_view name) {
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) {
        return false;
    }
    bool deleted = false;
    Transaction([&] {
        Statement remove(*this, "DELETE FROM reg_values WHERE key = ?1 AND folded = ?2");
        remove.Bind(1, key).Bind(2, FoldRegistryName(name));
        remove.Step();
        deleted = sqlite3_changes(db_) > 0;
    });
    return deleted;
}

void RegistryStore::DeleteKey(RegKeyId key) {
    Transaction([&] {
        // The hives, and HKEY_LOCAL_MACHINE\SOFTWARE that holds HKEY_CLASSES_ROOT, stay.
        for (std::optional<RegKeyId> kept = kClassesRoot; kept; kept = Parent(*kept)) {
            if (*kept == key) {
                throw MakeError(RunTimeError::KeyNotOpened, "RegistryStore",
                                key == kClassesRoot || key == kLocalMachine
                                    ? "a hive cannot be deleted"
                                    : "HKEY_LOCAL_MACHINE\\SOFTWARE holds HKEY_CLASSES_ROOT and "
                                      "cannot be deleted");
            }
        }
        Statement values(*this,
                         "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM "
                         "reg_keys k JOIN tree t ON k.parent = t.id) "
                         "DELETE FROM reg_values WHERE key IN tree");
        values.Bind(1, key);
        values.Step();
        Statement keys(*this,
                       "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM "
                       "reg_keys k JOIN tree t ON k.parent = t.id) "
                       "DELETE FROM reg_keys WHERE id IN tree");
        keys.Bind(1, key);
        keys.Step();
        depths_.clear();
    });
}

// Moves what source holds into target and deletes source. A value or subkey
// that both hold comes from source when sourceWins, else stays as target has it.
void RegistryStore::MergeInto(RegKeyId source, RegKeyId target, bool sourceWins) {
    std::vector<std::pair<int64_t, std::string>> values;
    {
        Statement list(*this, "SELECT id, folded FROM reg_values WHERE key = ?1 ORDER BY id");
        list.Bind(1, source);
        while (list.Step()) {
            values.emplace_back(list.Integer(0), list.Text(1));
        }
    }
    for (const auto& [id, folded] : values) {
        Statement clash(*this, "SELECT id FROM reg_values WHERE key = ?1 AND folded = ?2");
        clash.Bind(1, target).Bind(2, folded);
        if (clash.Step()) {
            const int64_t kept = clash.Integer(0);
            Statement drop(*this, "DELETE FROM reg_values WHERE id = ?1");
            drop.Bind(1, sourceWins ? kept : id);
            drop.Step();
            if (!sourceWins) {
                continue;
            }
        }
        Statement move(*this, "UPDATE reg_values SET key = ?2 WHERE id = ?1");
        move.Bind(1, id).Bind(2, target);
        move.Step();
    }
    std::vector<std::pair<RegKeyId, std::string>> children;
    {
        Statement list(*this, "SELECT id, folded FROM reg_keys WHERE parent = ?1 ORDER BY id");
        list.Bind(1, source);
        while (list.Step()) {
            children.emplace_back(list.Integer(0), list.Text(1));
        }
    }
    for (const auto& [id, folded] : children) {
        if (const std::optional<RegKeyId> clash = Child(target, folded)) {
            MergeInto(id, *clash, sourceWins);
            continue;
        }
        Statement move(*this, "UPDATE reg_keys SET parent = ?2 WHERE id = ?1");
        move.Bind(1, id).Bind(2, target);
        move.Step();
    }
    Statement drop(*this, "DELETE FROM reg_keys WHERE id = ?1");
    drop.Bind(1, source);
    drop.Step();
}

// Brings a database of an earlier layout to the current one: the keys of the
// former HKEY_CLASSES_ROOT tree and of HKLM\SOFTWARE\Classes become one (the
// former tree's values win, the library read them), and the keys below a
// WOW6432Node key move into the key it stands for (theirs win, they are what
// the 32-bit library read on Windows).
void RegistryStore::Upgrade() {
    Execute("BEGIN IMMEDIATE");
    try {
        int version = 0;
        {
            Statement read(*this, "PRAGMA user_version");
            version = read.Step() ? static_cast<int>(read.Integer(0)) : 0;
        }
        if (version < kLayoutVersion) {
            std::optional<RegKeyId> software = Child(kLocalMachine, "SOFTWARE");
            if (!software) {
                Statement insert(*this,
                                 "INSERT INTO reg_keys(parent, name, folded) "
                                 "VALUES(1, 'SOFTWARE', 'SOFTWARE')");
                insert.Step();
                software = sqlite3_last_insert_rowid(db_);
            }
            bool separate = true;
            {
                Statement root(*this, "SELECT parent IS NULL FROM reg_keys WHERE id = 2");
                separate = !root.Step() || root.Integer(0) != 0;
            }
            if (separate) {
                if (const std::optional<RegKeyId> classes = Child(*software, "CLASSES")) {
                    MergeInto(*classes, kClassesRoot, false);
                }
                Statement place(*this,
                                "INSERT INTO reg_keys(id, parent, name, folded) "
                                "VALUES(2, ?1, 'Classes', 'CLASSES') ON CONFLICT(id) DO UPDATE "
                                "SET parent = excluded.parent, name = excluded.name, "
                                "folded = excluded.folded");
                place.Bind(1, *software);
                place.Step();
            }
            software_ = *software;
            for (const RegKeyId parent : {*software, kClassesRoot}) {
                if (const std::optional<RegKeyId> view = Child(parent, std::string(kViewKey))) {
                    MergeInto(*view, parent, true);
                }
            }
            Execute("PRAGMA user_version = 2");
        }
        Execute("COMMIT");
    } catch (...) {
        Rollback();
        throw;
    }
}

void RegistryStore::Begin() {
    Execute("BEGIN IMMEDIATE");
}
void RegistryStore::Commit() {
    Execute("COMMIT");
}

void RegistryStore::Rollback() noexcept {
    if (db_ != nullptr) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void RegistryStore::Transaction(const std::function<void()>& body) {
    if (transactionDepth_ > 0) {
        body();
        return;
    }
    Connect(true);
    Begin();
    transactionDepth_ = 1;
    try {
        body();
        Commit();
    } catch (...) {
        transactionDepth_ = 0;
        depths_.clear();
        Rollback();
        throw;
    }
    transactionDepth_ = 0;
    depths_.clear();
}

}  // namespace vantreel
