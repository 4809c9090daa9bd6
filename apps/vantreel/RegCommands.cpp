#include "RegCommands.h"

#include "shared/RegFile.h"
#include "shared/RegistryStore.h"
#include "vantreel/Error.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>

namespace vantreel::cli {
namespace {

constexpr const char* kSuccess = "The operation completed successfully.";
constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kCanceled = "The operation was canceled by the user.";
constexpr std::size_t kMaxKeyNameLength = 255;

// A failed command: the lines it prints on standard error.
struct CommandError {
    std::string message;
};

[[noreturn]] void Fail(std::string message) {
    throw CommandError{std::move(message)};
}

std::string UsageHint(std::string_view verb) {
    return "Type \"REG " + (verb.empty() ? std::string() : FoldRegistryName(verb) + " ") +
           "/?\" for usage.";
}

[[noreturn]] void FailSyntax(std::string_view verb, std::string_view detail = {}) {
    Fail("ERROR: Invalid syntax." + (detail.empty() ? "" : " " + std::string(detail)) + "\n" +
         UsageHint(verb));
}

[[noreturn]] void FailKeyName(std::string_view verb) {
    Fail("ERROR: Invalid key name.\n" + UsageHint(verb));
}

constexpr const char* kUsageQuery =
    "REG QUERY KeyName [/v ValueName | /ve] [/s]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR (or HKEY_LOCAL_MACHINE,\n"
    "           HKEY_CLASSES_ROOT)\n"
    "  /v       the value ValueName of the key\n"
    "  /ve      the default value of the key\n"
    "  /s       every subkey and value below the key as well\n";
constexpr const char* kUsageAdd =
    "REG ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator] [/d Data] [/f]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR; missing keys are created\n"
    "  /v       the value to add; /ve the default value\n"
    "  /t       REG_SZ (default) | REG_EXPAND_SZ | REG_MULTI_SZ | REG_DWORD | REG_QWORD\n"
    "           | REG_BINARY | REG_NONE\n"
    "  /s       the separator of the strings of a REG_MULTI_SZ in Data, \\0 by default\n"
    "  /d       the data: text, a decimal or 0x number, or hex digits for REG_BINARY\n"
    "  /f       overwrite an existing value without asking\n";
constexpr const char* kUsageDelete =
    "REG DELETE KeyName [/v ValueName | /ve | /va] [/f]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR\n"
    "  /v       the value to delete; /ve the default value; /va every value of the key\n"
    "           without any of them the key is deleted with everything below it\n"
    "  /f       delete without asking\n";
constexpr const char* kUsageCopy =
    "REG COPY KeyName1 KeyName2 [/s] [/f]\n"
    "\n"
    "  KeyName1 the key to copy; KeyName2 the key to copy it to (created if missing)\n"
    "  /s       copy every subkey and value below KeyName1 as well\n"
    "  /f       overwrite existing values without asking\n";
constexpr const char* kUsageImport =
    "REG IMPORT FileName\n"
    "\n"
    "  FileName the .reg file to import; it is imported whole or not at all\n";
constexpr const char* kUsageExport =
    "REG EXPORT KeyName FileName [/y]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR\n"
    "  FileName the .reg file to write\n"
    "  /y       overwrite an existing file without asking\n";
constexpr const char* kUsage =
    "REG Operation [Parameter List]\n"
    "\n"
    "  Operation  QUERY | ADD | DELETE | COPY | IMPORT | EXPORT\n"
    "\n"
    "Return code: 0 success, 1 failure.\n"
    "For help on an operation type REG Operation /?\n";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// ---- Arguments ---------------------------------------------------------------

// The words of one verb: its positional words and its switches, by their
// upper-case name ("/V"), with the word that follows those that take one.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> switches;

    bool Has(const std::string& name) const { return switches.count(name) != 0; }
    std::optional<std::string> Get(const std::string& name) const {
        const auto found = switches.find(name);
        return found == switches.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
};

// takesWord: switches followed by a word; flags: switches on their own. A
// switch starts with '/' or '-'; a word that is none of the verb's switches
// is positional, so file paths such as /tmp/a.reg stay file paths.
Arguments ParseArguments(std::string_view verb, const std::vector<std::string>& words,
                         std::initializer_list<const char*> takesWord,
                         std::initializer_list<const char*> flags) {
    const auto among = [](const std::string& name, std::initializer_list<const char*> names) {
        for (const char* candidate : names) {
            if (name == candidate) {
                return true;
            }
        }
        return false;
    };
    Arguments arguments;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        const std::string name = word.size() >= 2 && (word.front() == '/' || word.front() == '-')
                                     ? "/" + FoldRegistryName(word.substr(1))
                                     : std::string();
        // One registry view here: the 32- and 64-bit view switches change nothing.
        const bool flag = among(name, flags) || name == "/REG:32" || name == "/REG:64";
        const bool withWord = among(name, takesWord);
        if (!flag && !withWord) {
            arguments.positional.push_back(words[i]);
            continue;
        }
        if (arguments.Has(name) || (withWord && i + 1 >= words.size())) {
            FailSyntax(verb);
        }
        arguments.switches[name] = withWord ? words[++i] : std::string();
    }
    return arguments;
}

// ---- Keys --------------------------------------------------------------------

// A key named on the command line.
struct KeyArgument {
    RegHive hive = RegHive::LocalMachine;
    std::vector<std::string> components;
    std::string path;  // the full hive name, then the components as typed

    std::string Relative() const {
        std::string relative;
        for (const std::string& component : components) {
            relative += (relative.empty() ? "" : "\\") + component;
        }
        return relative;
    }
};

KeyArgument ParseKey(std::string_view verb, std::string_view text) {
    while (text.ends_with('\\')) {
        text.remove_suffix(1);
    }
    KeyArgument key;
    const std::size_t separator = text.find('\\');
    const std::string hive = FoldRegistryName(text.substr(0, separator));
    if (hive == "HKLM" || hive == "HKEY_LOCAL_MACHINE") {
        key.hive = RegHive::LocalMachine;
        key.path = "HKEY_LOCAL_MACHINE";
    } else if (hive == "HKCR" || hive == "HKEY_CLASSES_ROOT") {
        key.hive = RegHive::ClassesRoot;
        key.path = "HKEY_CLASSES_ROOT";
    } else {
        FailKeyName(verb);
    }
    if (separator == std::string_view::npos) {
        return key;
    }
    std::string_view rest = text.substr(separator + 1);
    while (true) {
        const std::size_t next = rest.find('\\');
        const std::string_view component = rest.substr(0, next);
        if (component.empty() || component.size() > kMaxKeyNameLength || !IsValidUtf8(component)) {
            FailKeyName(verb);
        }
        key.components.emplace_back(component);
        key.path += "\\" + std::string(component);
        if (next == std::string_view::npos) {
            return key;
        }
        rest.remove_prefix(next + 1);
    }
}

std::optional<RegKeyId> FindKey(RegistryStore& store, const KeyArgument& key) {
    return store.FindKey(RegistryStore::Root(key.hive), key.Relative());
}

RegKeyId CreateKey(RegistryStore& store, RegHive hive, const std::vector<std::string>& path) {
    RegKeyId id = RegistryStore::Root(hive);
    for (const std::string& component : path) {
        id = store.CreateKey(id, component);
    }
    return id;
}

// ---- Questions ---------------------------------------------------------------

enum class Answer { Yes, No, All };

// Asks question until the answer is Yes or No (or All when offered); the end
// of the input answers No.
Answer Ask(std::istream& in, std::ostream& out, const std::string& question,
           bool offerAll = false) {
    while (true) {
        out << question << (offerAll ? "(Yes/No/All)? " : "(Yes/No)? ");
        out.flush();
        std::string line;
        if (!std::getline(in, line)) {
            out << '\n';
            return Answer::No;
        }
        const std::string answer = FoldRegistryName(Trim(line));
        if (answer == "Y" || answer == "YES") {
            return Answer::Yes;
        }
        if (answer == "N" || answer == "NO") {
            return Answer::No;
        }
        if (offerAll && (answer == "A" || answer == "ALL")) {
            return Answer::All;
        }
    }
}

// ---- Values as text ------------------------------------------------------------

std::string HexNumber(uint64_t number) {
    char digits[17];
    const auto end = std::to_chars(digits, digits + sizeof digits, number, 16).ptr;
    return "0x" + std::string(digits, end);
}

uint64_t LittleEndian(std::string_view bytes) {
    uint64_t number = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        number = number << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return number;
}

std::string HexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::string TypeText(uint32_t type) {
    const std::string_view name = RegTypeName(type);
    return name.empty() ? HexNumber(type) : std::string(name);
}

std::string DataText(uint32_t type, std::string_view data) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return std::string(data.substr(0, data.find('\0')));
        case REG_MULTI_SZ: {
            while (data.ends_with('\0')) {
                data.remove_suffix(1);
            }
            std::string text;
            for (const char c : data) {
                text += c == '\0' ? std::string("\\0") : std::string(1, c);
            }
            return text;
        }
        case REG_DWORD:
            return data.size() == 4 ? HexNumber(LittleEndian(data)) : HexBytes(data);
        case REG_DWORD_BIG_ENDIAN:
            if (data.size() == 4) {
                uint64_t number = 0;
                for (const char c : data) {
                    number = number << 8 | static_cast<unsigned char>(c);
                }
                return HexNumber(number);
            }
            return HexBytes(data);
        case REG_QWORD:
            return data.size() == 8 ? HexNumber(LittleEndian(data)) : HexBytes(data);
        default:
            return HexBytes(data);
    }
}

std::string ValueLine(const std::string& name, uint32_t type, std::string_view data) {
    return "    " + (name.empty() ? std::string("(Default)") : name) + "    " + TypeText(type) +
           "    " + DataText(type, data) + "\n";
}

// ---- The verbs -------------------------------------------------------------------

class RegCommand {
  public:
    RegCommand(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    int Query(const std::vector<std::string>& words);
    int Add(const std::vector<std::string>& words);
    int Delete(const std::vector<std::string>& words);
    int Copy(const std::vector<std::string>& words);
    int Import(const std::vector<std::string>& words);
    int Export(const std::vector<std::string>& words);

  private:
    RegistryStore& Store() {
        if (!store_) {
            store_ = RegistryStore::Open();
        }
        return *store_;
    }

    int Succeeded() {
        out_ << kSuccess << '\n';
        return 0;
    }
    int Canceled() {
        out_ << kCanceled << '\n';
        return 1;
    }

    std::istream& in_;
    std::ostream& out_;
    std::shared_ptr<RegistryStore> store_;
};

// One key of a tree walked in pre-order, with its path.
struct TreeKey {
    RegKeyId id;
    std::string path;
    std::vector<std::string> relative;  // the components below the top key
};

// The key and, when recurse is set, every key below it, in pre-order.
std::vector<TreeKey> WalkTree(RegistryStore& store, RegKeyId top, const std::string& path,
                              bool recurse) {
    std::vector<TreeKey> keys;
    std::vector<TreeKey> pending{{top, path, {}}};
    while (!pending.empty()) {
        TreeKey key = std::move(pending.back());
        pending.pop_back();
        if (recurse) {
            const std::vector<RegSubkey> subkeys = store.Subkeys(key.id);
            for (auto subkey = subkeys.rbegin(); subkey != subkeys.rend(); ++subkey) {
                TreeKey child{subkey->id, key.path + "\\" + subkey->name, key.relative};
                child.relative.push_back(subkey->name);
                pending.push_back(std::move(child));
            }
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

int RegCommand::Query(const std::vector<std::string>& words) {
    const Arguments arguments = ParseArguments("query", words, {"/V"}, {"/VE", "/S"});
    if (arguments.positional.size() != 1 || (arguments.Has("/V") && arguments.Has("/VE"))) {
        FailSyntax("query");
    }
    const KeyArgument key = ParseKey("query", arguments.positional[0]);
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, key);
    if (!id) {
        Fail(kNotFound);
    }
    const bool recurse = arguments.Has("/S");

    if (arguments.Has("/V") || arguments.Has("/VE")) {
        const std::string name = arguments.Get("/V").value_or("");
        if (!recurse) {
            const std::optional<RegValue> value = store.Value(*id, name);
            if (!value && !name.empty()) {
                Fail(kNotFound);
            }
            out_ << '\n' << key.path << '\n';
            out_ << (value ? ValueLine(value->name, value->type, value->data)
                           : "    (Default)    REG_SZ    (value not set)\n");
            out_ << '\n';
            return 0;
        }
        int matches = 0;
        out_ << '\n';
        for (const TreeKey& tree : WalkTree(store, *id, key.path, true)) {
            if (const std::optional<RegValue> value = store.Value(tree.id, name)) {
                out_ << tree.path << '\n' << ValueLine(value->name, value->type, value->data);
                out_ << '\n';
                ++matches;
            }
        }
        out_ << "End of search: " << matches << " match(es) found.\n";
        return matches > 0 ? 0 : 1;
    }

    // A key's path shows above its values; in a recursive listing every key
    // shows, each block followed by a blank line. Without /s the subkeys
    // follow as a list of paths.
    out_ << '\n';
    for (const TreeKey& tree : WalkTree(store, *id, key.path, recurse)) {
        const std::vector<RegValue> values = store.Values(tree.id);
        const bool heading = !values.empty() || tree.id != *id;
        if (heading) {
            out_ << tree.path << '\n';
        }
        for (const RegValue& value : values) {
            out_ << ValueLine(value.name, value.type, value.data);
        }
        if (heading) {
            out_ << '\n';
        }
    }
    if (!recurse) {
        const std::vector<RegSubkey> subkeys = store.Subkeys(*id);
        for (const RegSubkey& subkey : subkeys) {
            out_ << key.path << '\\' << subkey.name << '\n';
        }
        if (!subkeys.empty()) {
            out_ << '\n';
        }
    }
    return 0;
}

// /d of reg add as the stored bytes of type.
std::string AddData(uint32_t type, const std::string& data, const std::string& separator) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            if (!IsValidUtf8(data) || data.find('\0') != std::string::npos) {
                FailSyntax("add", "The data is not UTF-8 text.");
            }
            return data + '\0';
        case REG_MULTI_SZ: {
            if (!IsValidUtf8(data) || data.find('\0') != std::string::npos) {
                FailSyntax("add", "The data is not UTF-8 text.");
            }
            std::string stored;
            std::string_view rest = data;
            while (!rest.empty()) {
                const std::size_t next = rest.find(separator);
                const std::string_view item = rest.substr(0, next);
                if (item.empty()) {
                    FailSyntax("add", "A REG_MULTI_SZ list cannot hold an empty string.");
                }
                stored += std::string(item) + '\0';
                if (next == std::string_view::npos) {
                    break;
                }
                rest.remove_prefix(next + separator.size());
            }
            return stored + '\0';
        }
        case REG_DWORD:
        case REG_QWORD: {
            if (data.empty() && type == REG_DWORD) {
                return std::string(4, '\0');
            }
            uint64_t number = 0;
            std::string_view digits = data;
            int base = 10;
            if (digits.starts_with("0x") || digits.starts_with("0X")) {
                digits.remove_prefix(2);
                base = 16;
            }
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), number, base);
            if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
                (type == REG_DWORD && number > UINT32_MAX)) {
                FailSyntax("add", "'/d' needs a decimal or 0x hex number in range.");
            }
            std::string stored;
            for (int i = 0; i < (type == REG_DWORD ? 4 : 8); ++i) {
                stored += static_cast<char>(number >> (8 * i) & 0xFF);
            }
            return stored;
        }
        default: {  // REG_BINARY and REG_NONE: hex digits
            std::string stored;
            bool valid = data.size() % 2 == 0;
            for (std::size_t i = 0; valid && i < data.size(); i += 2) {
                unsigned value = 0;
                const auto [end, error] =
                    std::from_chars(data.data() + i, data.data() + i + 2, value, 16);
                valid = error == std::errc() && end == data.data() + i + 2;
                stored += static_cast<char>(value);
            }
            if (!valid) {
                FailSyntax("add", "'/d' needs an even number of hex digits.");
            }
            return stored;
        }
    }
}

int RegCommand::Add(const std::vector<std::string>& words) {
    const Arguments arguments =
        ParseArguments("add", words, {"/V", "/T", "/S", "/D"}, {"/VE", "/F"});
    if (arguments.positional.size() != 1 || (arguments.Has("/V") && arguments.Has("/VE"))) {
        FailSyntax("add");
    }
    const KeyArgument key = ParseKey("add", arguments.positional[0]);
    uint32_t type = REG_SZ;
    if (const std::optional<std::string> typeName = arguments.Get("/T")) {
        const std::optional<uint32_t> code = RegTypeFromName(FoldRegistryName(*typeName));
        if (!code || (*code != REG_SZ && *code != REG_EXPAND_SZ && *code != REG_MULTI_SZ &&
                      *code != REG_DWORD && *code != REG_QWORD && *code != REG_BINARY &&
                      *code != REG_NONE)) {
            FailSyntax("add", "The type " + *typeName + " is not one reg add writes.");
        }
        type = *code;
    }
    const std::optional<std::string> separator = arguments.Get("/S");
    if (separator && (type != REG_MULTI_SZ || separator->size() != 1)) {
        FailSyntax("add");
    }
    const std::string name = arguments.Get("/V").value_or("");
    if (!IsValidUtf8(name)) {
        FailSyntax("add", "The value name is not UTF-8 text.");
    }
    // Without /v or /ve, /t or /d set the default value; with neither the key
    // alone is created.
    const bool setValue =
        arguments.Has("/V") || arguments.Has("/VE") || arguments.Has("/T") || arguments.Has("/D");
    const std::string data =
        setValue ? AddData(type, arguments.Get("/D").value_or(""), separator.value_or("\\0"))
                 : std::string();

    RegistryStore& store = Store();
    if (setValue && !arguments.Has("/F")) {
        if (const std::optional<RegKeyId> id = FindKey(store, key)) {
            if (store.Value(*id, name) &&
                Ask(in_, out_,
                    "Value " + (name.empty() ? std::string("(Default)") : name) +
                        " exists, overwrite") == Answer::No) {
                return Canceled();
            }
        }
    }
    store.Transaction([&] {
        const RegKeyId id = CreateKey(store, key.hive, key.components);
        if (setValue) {
            store.SetValue(id, name, type, data);
        }
    });
    return Succeeded();
}

int RegCommand::Delete(const std::vector<std::string>& words) {
    const Arguments arguments = ParseArguments("delete", words, {"/V"}, {"/VE", "/VA", "/F"});
    const int valueSwitches = arguments.Has("/V") + arguments.Has("/VE") + arguments.Has("/VA");
    if (arguments.positional.size() != 1 || valueSwitches > 1) {
        FailSyntax("delete");
    }
    const KeyArgument key = ParseKey("delete", arguments.positional[0]);
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, key);
    if (!id) {
        Fail(kNotFound);
    }
    const bool force = arguments.Has("/F");

    if (arguments.Has("/VA")) {
        if (!force &&
            Ask(in_, out_, "Delete all values under the registry key " + key.path + " ") ==
                Answer::No) {
            return Canceled();
        }
        store.Transaction([&] {
            for (const RegValue& value : store.Values(*id)) {
                store.DeleteValue(*id, value.name);
            }
        });
        return Succeeded();
    }
    if (arguments.Has("/V") || arguments.Has("/VE")) {
        const std::string name = arguments.Get("/V").value_or("");
        if (!store.Value(*id, name)) {
            Fail(kNotFound);
        }
        if (!force &&
            Ask(in_, out_,
                "Delete the registry value " + (name.empty() ? std::string("(Default)") : name) +
                    " ") == Answer::No) {
            return Canceled();
        }
        store.DeleteValue(*id, name);
        return Succeeded();
    }
    if (key.components.empty()) {
        FailKeyName("delete");  // a hive stays
    }
    if (!force &&
        Ask(in_, out_, "Permanently delete the registry key " + key.path + " ") == Answer::No) {
        return Canceled();
    }
    store.DeleteKey(*id);
    return Succeeded();
}

int RegCommand::Copy(const std::vector<std::string>& words) {
    const Arguments arguments = ParseArguments("copy", words, {}, {"/S", "/F"});
    if (arguments.positional.size() != 2) {
        FailSyntax("copy");
    }
    const KeyArgument source = ParseKey("copy", arguments.positional[0]);
    const KeyArgument target = ParseKey("copy", arguments.positional[1]);
    if (source.hive == target.hive &&
        FoldRegistryName(source.Relative()) == FoldRegistryName(target.Relative())) {
        Fail("ERROR: The source and destination keys cannot be the same.\n" + UsageHint("copy"));
    }
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, source);
    if (!id) {
        Fail(kNotFound);
    }

    // Everything is read, and every question asked, before anything is
    // written: a copy into its own source sees the source as it was, and no
    // write waits for an answer.
    struct Copied {
        std::vector<std::string> relative;
        std::vector<RegValue> values;
    };
    std::vector<Copied> copies;
    bool overwriteAll = arguments.Has("/F");
    for (const TreeKey& tree : WalkTree(store, *id, source.path, arguments.Has("/S"))) {
        Copied copy{tree.relative, store.Values(tree.id)};
        std::vector<std::string> path = target.components;
        path.insert(path.end(), tree.relative.begin(), tree.relative.end());
        std::string relative;
        for (const std::string& component : path) {
            relative += component + "\\";
        }
        const std::optional<RegKeyId> existing =
            store.FindKey(RegistryStore::Root(target.hive), relative);
        if (existing && !overwriteAll) {
            std::string targetPath = target.path;
            for (const std::string& component : tree.relative) {
                targetPath += "\\" + component;
            }
            std::erase_if(copy.values, [&](const RegValue& value) {
                if (overwriteAll || !store.Value(*existing, value.name)) {
                    return false;
                }
                const Answer answer =
                    Ask(in_, out_,
                        "Value " + (value.name.empty() ? std::string("(Default)") : value.name) +
                            " exists in " + targetPath + ", overwrite",
                        true);
                overwriteAll = answer == Answer::All;
                return answer == Answer::No;
            });
        }
        copies.push_back(std::move(copy));
    }
    store.Transaction([&] {
        for (const Copied& copy : copies) {
            std::vector<std::string> path = target.components;
            path.insert(path.end(), copy.relative.begin(), copy.relative.end());
            const RegKeyId destination = CreateKey(store, target.hive, path);
            for (const RegValue& value : copy.values) {
                store.SetValue(destination, value.name, value.type, value.data);
            }
        }
    });
    return Succeeded();
}

int RegCommand::Import(const std::vector<std::string>& words) {
    const Arguments arguments = ParseArguments("import", words, {}, {});
    if (arguments.positional.size() != 1) {
        FailSyntax("import");
    }
    Store();
    RegFile(store_).Import(arguments.positional[0]);
    return Succeeded();
}

int RegCommand::Export(const std::vector<std::string>& words) {
    const Arguments arguments = ParseArguments("export", words, {}, {"/Y"});
    if (arguments.positional.size() != 2) {
        FailSyntax("export");
    }
    const KeyArgument key = ParseKey("export", arguments.positional[0]);
    const std::string& file = arguments.positional[1];
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, key);
    if (!id) {
        Fail(kNotFound);
    }
    std::error_code ignored;
    if (!arguments.Has("/Y") && std::filesystem::exists(file, ignored) &&
        Ask(in_, out_, "File " + file + " already exists. Overwrite ") == Answer::No) {
        return Canceled();
    }
    RegFile(store_).Export(*id, file);
    return Succeeded();
}

}  // namespace

int RunReg(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
    struct Verb {
        const char* name;
        int (RegCommand::*run)(const std::vector<std::string>&);
        const char* usage;
    };
    static constexpr Verb kVerbs[] = {
        {"QUERY", &RegCommand::Query, kUsageQuery},
        {"ADD", &RegCommand::Add, kUsageAdd},
        {"DELETE", &RegCommand::Delete, kUsageDelete},
        {"COPY", &RegCommand::Copy, kUsageCopy},
        {"IMPORT", &RegCommand::Import, kUsageImport},
        {"EXPORT", &RegCommand::Export, kUsageExport},
    };
    try {
        if (args.size() == 1 && (args[0] == "/?" || args[0] == "-?")) {
            out << kUsage;
            return 0;
        }
        const std::string verbName = args.empty() ? std::string() : FoldRegistryName(args[0]);
        for (const Verb& verb : kVerbs) {
            if (verbName != verb.name) {
                continue;
            }
            const std::vector<std::string> words(args.begin() + 1, args.end());
            if (words.size() == 1 && (words[0] == "/?" || words[0] == "-?")) {
                out << verb.usage;
                return 0;
            }
            RegCommand command(in, out);
            const int status = (command.*verb.run)(words);
            out.flush();
            return status;
        }
        FailSyntax("");
    } catch (const CommandError& error) {
        out.flush();
        err << error.message << '\n';
    } catch (const Error& error) {
        out.flush();
        err << "ERROR: " << error.Description() << '\n';
    } catch (const std::exception& error) {
        out.flush();
        err << "ERROR: " << error.what() << '\n';
    }
    return 1;
}

int RunReg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReg(args, std::cin, out, err);
}

}  // namespace vantreel::cli
