#include "RegCommands.h"

#include "shared/RegFile.h"
#include "shared/RegistryStore.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace vantreel::cli {
namespace {

constexpr const char* kSuccess = "The operation completed successfully.";
constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kCanceled = "The operation was canceled by the user.";

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
    "REG QUERY KeyName [/v [ValueName] | /ve] [/s] [/f Data [/k] [/d] [/c] [/e]]\n"
    "          [/t Type] [/z] [/se Separator] [/reg:32 | /reg:64]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR (or HKEY_LOCAL_MACHINE,\n"
    "           HKEY_CLASSES_ROOT)\n"
    "  /v       the value ValueName of the key; with /f, search value names\n"
    "  /ve      the default value of the key\n"
    "  /s       every subkey and value below the key as well\n"
    "  /f       search for Data (\"*\" finds everything) in key names, value\n"
    "           names and data, or only where /k, /v or /d say\n"
    "  /k       search key names; /d search data\n"
    "  /c       the search tells letter case apart; /e only whole names or data match\n"
    "  /t       only values of this type (several separated by commas)\n"
    "  /z       show each type with its number\n"
    "  /se      the separator shown between the strings of a REG_MULTI_SZ, \\0 by\n"
    "           default\n"
    "  /reg:32, /reg:64  the 32- or 64-bit view; both are the one view kept here\n";
constexpr const char* kUsageAdd =
    "REG ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator] [/d Data] [/f]\n"
    "\n"
    "  KeyName  ROOTKEY\\SubKey, ROOTKEY = HKLM | HKCR; missing keys are created\n"
    "  /v       the value to add; /ve the default value\n"
    "  /t       REG_SZ (default) | REG_EXPAND_SZ | REG_MULTI_SZ | REG_DWORD |\n"
    "           REG_DWORD_BIG_ENDIAN | REG_QWORD | REG_BINARY | REG_NONE\n"
    "  /s       the separator of the strings of a REG_MULTI_SZ in Data, \\0 by default\n"
    "  /d       the data: text (also for REG_NONE), a decimal or 0x number, or hex\n"
    "           digits for REG_BINARY (an odd count gets a leading 0)\n"
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
    bool view = false;
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
        const bool viewSwitch = name == "/REG:32" || name == "/REG:64";
        if (arguments.Has(name) || (withWord && i + 1 >= words.size()) || (viewSwitch && view)) {
            FailSyntax(verb);
        }
        view = view || viewSwitch;
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
    const std::optional<RegHive> hive = RegHiveFromName(text.substr(0, separator));
    if (!hive) {
        FailKeyName(verb);
    }
    if (!RegHiveKept(*hive)) {
        Fail("ERROR: " + std::string(RegHiveName(*hive)) +
             " is not kept in this registry; only HKLM and HKCR are.\n" + UsageHint(verb));
    }
    key.hive = *hive;
    key.path = RegHiveName(*hive);
    if (separator == std::string_view::npos) {
        return key;
    }
    std::string_view rest = text.substr(separator + 1);
    while (true) {
        const std::size_t next = rest.find('\\');
        const std::string_view component = rest.substr(0, next);
        if (component.empty() || RegistryNameLength(component) > kMaxKeyNameLength ||
            !IsValidUtf8(component)) {
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

RegKeyId CreateKey(RegistryStore& store, const KeyArgument& key) {
    return store.CreatePath(RegistryStore::Root(key.hive), key.Relative());
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

// How query shows values: /z adds each type's number, /se sets the
// separator shown between the strings of a REG_MULTI_SZ.
struct ShowOptions {
    bool typeNumbers = false;
    std::string separator = "\\0";
};

std::string TypeText(uint32_t type, const ShowOptions& show = {}) {
    const std::string_view name = RegTypeName(type);
    std::string text = name.empty() ? HexNumber(type) : std::string(name);
    if (show.typeNumbers && !name.empty()) {
        text += " (" + std::to_string(type) + ")";
    }
    return text;
}

std::string DataText(uint32_t type, std::string_view data, const ShowOptions& show = {}) {
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
                text += c == '\0' ? show.separator : std::string(1, c);
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

std::string ValueLine(const std::string& name, uint32_t type, std::string_view data,
                      const ShowOptions& show = {}) {
    return "    " + (name.empty() ? std::string("(Default)") : name) + "    " +
           TypeText(type, show) + "    " + DataText(type, data, show) + "\n";
}

// ---- The verbs -------------------------------------------------------------------

class RegCommand {
  public:
    RegCommand(std::istream& in, std::ostream& out, std::ostream& err)
        : in_(in), out_(out), err_(err) {}

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

    int Search(RegKeyId top, const std::string& path, const Arguments& arguments,
               const ShowOptions& show, const std::vector<uint32_t>& types);

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    std::shared_ptr<RegistryStore> store_;
};

// Walks the key top and the keys up to maxDepth levels below it in pre-order,
// calling visit(id, path, depth, name) for each (depth 0 and the name "" for
// top). Memory and time grow with the size of the tree: pending
// keys keep their name only, and the path is extended and cut in place.
constexpr int kWholeTree = INT32_MAX;

template <typename Visit>
void WalkTree(RegistryStore& store, RegKeyId top, const std::string& topPath, int maxDepth,
              Visit&& visit) {
    struct Pending {
        RegKeyId id;
        int depth;
        std::string name;
    };
    std::vector<Pending> pending{{top, 0, std::string()}};
    std::vector<std::size_t> lengths;  // of path at each depth
    std::string path;
    while (!pending.empty()) {
        Pending key = std::move(pending.back());
        pending.pop_back();
        if (key.depth == 0) {
            path = topPath;
        } else {
            path.resize(lengths[static_cast<std::size_t>(key.depth) - 1]);
            path += '\\';
            path += key.name;
        }
        lengths.resize(static_cast<std::size_t>(key.depth) + 1);
        lengths.back() = path.size();
        visit(key.id, std::as_const(path), key.depth, std::as_const(key.name));
        if (key.depth < maxDepth) {
            std::vector<RegSubkey> subkeys = store.Subkeys(key.id);
            for (auto subkey = subkeys.rbegin(); subkey != subkeys.rend(); ++subkey) {
                pending.push_back({subkey->id, key.depth + 1, std::move(subkey->name)});
            }
        }
    }
}

// The types named by /t, several separated by commas; empty for all.
std::vector<uint32_t> TypesOf(const std::optional<std::string>& list) {
    std::vector<uint32_t> types;
    if (!list) {
        return types;
    }
    std::string_view rest = *list;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string name = FoldRegistryName(Trim(rest.substr(0, comma)));
        const std::optional<uint32_t> type = RegTypeFromName(name);
        if (!type) {
            FailSyntax("query", "The type " + name + " is not known.");
        }
        types.push_back(*type);
        if (comma == std::string_view::npos) {
            return types;
        }
        rest.remove_prefix(comma + 1);
    }
}

bool TypeWanted(const std::vector<uint32_t>& types, uint32_t type) {
    return types.empty() || std::find(types.begin(), types.end(), type) != types.end();
}

// What /f looks for and how.
class SearchPattern {
  public:
    SearchPattern(std::string pattern, bool matchCase, bool whole)
        : pattern_(std::move(pattern)), matchCase_(matchCase), whole_(whole) {
        if (!matchCase_) {
            pattern_ = FoldRegistryName(pattern_);
        }
    }

    bool Matches(std::string_view text) const {
        if (pattern_ == "*") {
            return true;
        }
        const std::string folded = matchCase_ ? std::string(text) : FoldRegistryName(text);
        return whole_ ? folded == pattern_ : folded.find(pattern_) != std::string::npos;
    }

  private:
    std::string pattern_;
    bool matchCase_;
    bool whole_;
};

int RegCommand::Query(const std::vector<std::string>& words) {
    // With /f, /v takes no name: it says to search value names.
    const bool searching = std::any_of(words.begin(), words.end(), [](const std::string& word) {
        return FoldRegistryName(word) == "/F" || FoldRegistryName(word) == "-F";
    });
    const Arguments arguments =
        searching ? ParseArguments("query", words, {"/F", "/T", "/SE"},
                                   {"/V", "/VE", "/S", "/K", "/D", "/C", "/E", "/Z"})
                  : ParseArguments("query", words, {"/V", "/T", "/SE"},
                                   {"/VE", "/S", "/K", "/D", "/C", "/E", "/Z"});
    if (arguments.positional.size() != 1 || (arguments.Has("/V") && arguments.Has("/VE")) ||
        (!searching && (arguments.Has("/K") || arguments.Has("/D") || arguments.Has("/C") ||
                        arguments.Has("/E")))) {
        FailSyntax("query");
    }
    ShowOptions show;
    show.typeNumbers = arguments.Has("/Z");
    if (const std::optional<std::string> separator = arguments.Get("/SE")) {
        if (separator->size() != 1) {
            FailSyntax("query", "'/se' takes one character.");
        }
        show.separator = *separator;
    }
    const std::vector<uint32_t> types = TypesOf(arguments.Get("/T"));
    const KeyArgument key = ParseKey("query", arguments.positional[0]);
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, key);
    if (!id) {
        Fail(kNotFound);
    }
    const bool recurse = arguments.Has("/S");
    if (searching) {
        return Search(*id, key.path, arguments, show, types);
    }

    if (arguments.Has("/V") || arguments.Has("/VE")) {
        const std::string name = arguments.Get("/V").value_or("");
        if (!recurse) {
            std::optional<RegValue> value = store.Value(*id, name);
            if (value && !TypeWanted(types, value->type)) {
                value.reset();
            }
            if (!value && !name.empty()) {
                Fail(kNotFound);
            }
            out_ << '\n' << key.path << '\n';
            out_ << (value ? ValueLine(value->name, value->type, value->data, show)
                           : "    (Default)    REG_SZ    (value not set)\n");
            out_ << '\n';
            return 0;
        }
        int matches = 0;
        out_ << '\n';
        WalkTree(store, *id, key.path, kWholeTree,
                 [&](RegKeyId tree, const std::string& path, int, const std::string&) {
                     const std::optional<RegValue> value = store.Value(tree, name);
                     if (value && TypeWanted(types, value->type)) {
                         out_ << path << '\n'
                              << ValueLine(value->name, value->type, value->data, show) << '\n';
                         ++matches;
                     }
                 });
        out_ << "End of search: " << matches << " match(es) found.\n";
        return matches > 0 ? 0 : 1;
    }

    // A key's path shows above its values; in a recursive listing every key
    // shows, each block followed by a blank line. Without /s the subkeys
    // follow as a list of paths.
    out_ << '\n';
    WalkTree(store, *id, key.path, recurse ? kWholeTree : 0,
             [&](RegKeyId tree, const std::string& path, int depth, const std::string&) {
                 std::vector<RegValue> values = store.Values(tree);
                 std::erase_if(
                     values, [&](const RegValue& value) { return !TypeWanted(types, value.type); });
                 const bool heading = !values.empty() || depth > 0;
                 if (heading) {
                     out_ << path << '\n';
                 }
                 for (const RegValue& value : values) {
                     out_ << ValueLine(value.name, value.type, value.data, show);
                 }
                 if (heading) {
                     out_ << '\n';
                 }
             });
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

// reg query /f: the key's values and subkey names (with /s every key below it
// and its values) that match, each key's path above its matching values.
int RegCommand::Search(RegKeyId top, const std::string& topPath, const Arguments& arguments,
                       const ShowOptions& show, const std::vector<uint32_t>& types) {
    RegistryStore& store = Store();
    const SearchPattern pattern(arguments.Get("/F").value_or("*"), arguments.Has("/C"),
                                arguments.Has("/E"));
    const bool anyField = !arguments.Has("/K") && !arguments.Has("/V") && !arguments.Has("/D");
    // A search for values of some type looks at values only, unless /k asks for keys too.
    const bool keys = (anyField && types.empty()) || arguments.Has("/K");
    const bool names = anyField || arguments.Has("/V");
    const bool data = anyField || arguments.Has("/D");
    const bool recurse = arguments.Has("/S");
    int matches = 0;
    out_ << '\n';
    WalkTree(store, top, topPath, recurse ? kWholeTree : 1,
             [&](RegKeyId key, const std::string& path, int depth, const std::string& name) {
                 bool shown = false;
                 if (depth > 0 && keys && pattern.Matches(name)) {
                     out_ << path << '\n';
                     shown = true;
                     ++matches;
                 }
                 if (depth > 0 && !recurse) {
                     return;  // without /s only the names of the subkeys are searched
                 }
                 bool valuesShown = false;
                 for (const RegValue& value : store.Values(key)) {
                     if (!TypeWanted(types, value.type)) {
                         continue;
                     }
                     if (!(names && pattern.Matches(value.name)) &&
                         !(data && pattern.Matches(DataText(value.type, value.data, show)))) {
                         continue;
                     }
                     if (!shown) {
                         out_ << path << '\n';
                         shown = true;
                     }
                     out_ << ValueLine(value.name, value.type, value.data, show);
                     valuesShown = true;
                     ++matches;
                 }
                 if (valuesShown) {
                     out_ << '\n';
                 }
             });
    out_ << "End of search: " << matches << " match(es) found.\n";
    return matches > 0 ? 0 : 1;
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
        case REG_DWORD_BIG_ENDIAN:
        case REG_QWORD: {
            if (data.empty() && type != REG_QWORD) {
                return std::string(4, '\0');
            }
            uint64_t number = 0;
            std::string_view digits = data;
            if (digits.starts_with('+')) {
                digits.remove_prefix(1);  // reg.exe takes a sign on a positive number
            }
            int base = 10;
            if (digits.starts_with("0x") || digits.starts_with("0X")) {
                digits.remove_prefix(2);
                base = 16;
            }
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), number, base);
            if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
                (type != REG_QWORD && number > UINT32_MAX)) {
                FailSyntax("add", "'/d' needs a decimal or 0x hex number in range.");
            }
            std::string stored;
            for (int i = 0; i < (type == REG_QWORD ? 8 : 4); ++i) {
                stored += static_cast<char>(number >> (8 * i) & 0xFF);
            }
            if (type == REG_DWORD_BIG_ENDIAN) {
                std::reverse(stored.begin(), stored.end());
            }
            return stored;
        }
        case REG_NONE: {
            // As reg.exe stores it: the text in UTF-16LE with its NUL, as data of no type.
            if (!IsValidUtf8(data) || data.find('\0') != std::string::npos) {
                FailSyntax("add", "The data is not UTF-8 text.");
            }
            return EncodeUtf16Le(data + '\0');
        }
        default: {  // REG_BINARY: hex digits, an odd count read with a leading 0
            const std::string digits = data.size() % 2 == 0 ? data : "0" + data;
            std::string stored;
            bool valid = true;
            for (std::size_t i = 0; valid && i < digits.size(); i += 2) {
                unsigned value = 0;
                const auto [end, error] =
                    std::from_chars(digits.data() + i, digits.data() + i + 2, value, 16);
                valid = error == std::errc() && end == digits.data() + i + 2;
                stored += static_cast<char>(value);
            }
            if (!valid) {
                FailSyntax("add", "'/d' needs hex digits for REG_BINARY.");
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
                      *code != REG_DWORD && *code != REG_DWORD_BIG_ENDIAN && *code != REG_QWORD &&
                      *code != REG_BINARY && *code != REG_NONE)) {
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
    if (RegistryNameLength(name) > kMaxValueNameLength) {
        FailSyntax("add", "A value name has at most " + std::to_string(kMaxValueNameLength) +
                              " characters.");
    }
    // Without /v or /ve, /t or /d set the default value; with neither the key
    // alone is created.
    const bool setValue =
        arguments.Has("/V") || arguments.Has("/VE") || arguments.Has("/T") || arguments.Has("/D");
    const std::optional<std::string> given = arguments.Get("/D");
    const std::string data = !setValue ? std::string()
                             : type == REG_NONE && !given
                                 ? std::string()
                                 : AddData(type, given.value_or(""), separator.value_or("\\0"));

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
        const RegKeyId id = CreateKey(store, key);
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
    RegistryStore& store = Store();
    const std::optional<RegKeyId> id = FindKey(store, source);
    // Compared as keys, so that HKCR\X and HKLM\SOFTWARE\Classes\X are the same.
    const std::optional<RegKeyId> existingTop = FindKey(store, target);
    if ((id && existingTop == id) ||
        (source.hive == target.hive &&
         FoldRegistryName(source.Relative()) == FoldRegistryName(target.Relative()))) {
        Fail("ERROR: The source and destination keys cannot be the same.\n" + UsageHint("copy"));
    }
    if (!id) {
        Fail(kNotFound);
    }

    // Everything is read, and every question asked, before anything is
    // written: a copy into its own source sees the source as it was, no write
    // waits for an answer, and the one write transaction stays short.
    struct Copied {
        int depth;
        std::string name;
        std::vector<RegValue> values;
    };
    std::vector<Copied> copies;
    bool overwriteAll = arguments.Has("/F");
    // The existing target key at each depth of the walk, when there is one.
    std::vector<std::optional<RegKeyId>> existing{existingTop};
    WalkTree(
        store, *id, target.path, arguments.Has("/S") ? kWholeTree : 0,
        [&](RegKeyId key, const std::string& targetPath, int depth, const std::string& name) {
            Copied copy{depth, name, store.Values(key)};
            existing.resize(static_cast<std::size_t>(depth) + 1);
            if (depth > 0) {
                const std::optional<RegKeyId> parent = existing[existing.size() - 2];
                existing.back() = parent ? store.FindKey(*parent, name) : std::nullopt;
            }
            if (const std::optional<RegKeyId> there = existing.back(); there && !overwriteAll) {
                std::erase_if(copy.values, [&](const RegValue& value) {
                    if (overwriteAll || !store.Value(*there, value.name)) {
                        return false;
                    }
                    const Answer answer = Ask(
                        in_, out_,
                        "Value " + (value.name.empty() ? std::string("(Default)") : value.name) +
                            " exists in " + targetPath + ", overwrite",
                        true);
                    overwriteAll = answer == Answer::All;
                    return answer == Answer::No;
                });
            }
            copies.push_back(std::move(copy));
        });
    store.Transaction([&] {
        // The target key at each depth; each key is created below its parent's copy.
        std::vector<RegKeyId> created;
        for (const Copied& copy : copies) {
            created.resize(static_cast<std::size_t>(copy.depth));
            created.push_back(copy.depth == 0 ? CreateKey(store, target)
                                              : store.CreateKey(created.back(), copy.name));
            for (const RegValue& value : copy.values) {
                store.SetValue(created.back(), value.name, value.type, value.data);
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
    RegFile file(store_);
    file.Import(arguments.positional[0]);
    for (const std::string& warning : file.Warnings()) {
        err_ << "WARNING: " << warning << '\n';
    }
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
    RegFile(store_).Export(*id, file, key.hive);
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
            RegCommand command(in, out, err);
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
