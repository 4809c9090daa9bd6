#include "shared/Resources.h"
#include "shared/Text.h"

#include "shared/Configuration.h"
#include "shared/InstallLayout.h"
#include "shared/Paths.h"
#include "shared/RegEntry.h"
#include "shared/StringTable.h"
#include "vantreel/Error.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#ifndef VANTREEL_DEFAULT_DATA_DIR
#define VANTREEL_DEFAULT_DATA_DIR "/usr/share/vantreel"
#endif

namespace vantreel {
namespace {

constexpr std::string_view kResourceFileNotFound = "Error: Resource File Not Found";
constexpr std::size_t kStringBuffer = 1024;

struct LanguageEntry {
    int32_t lcid;
    const char* code;
    const char* family;
};

constexpr LanguageEntry kLanguages[] = {
#define LANGUAGE_CODE(lcid, code, family) {lcid, code, family},
#include "shared/LanguageCodes.def"
#undef LANGUAGE_CODE
};

struct CachedTable {
    std::unique_ptr<StringTable> table;
    std::string name;
};

struct ResourceState {
    std::recursive_mutex mutex;
    bool enabled = true;
    std::string languageCode;
    std::vector<CachedTable> cache;
    // Tables forgotten by InitResources stay alive until the language changes.
    std::vector<std::unique_ptr<StringTable>> forgotten;
    std::string helpFile;
};

ResourceState& State() {
    static ResourceState state;
    return state;
}

int32_t GroupBase(int32_t id) {
    return id / 1000 * 1000;
}

std::string TableName(std::string_view code, int32_t id) {
    char group[16];
    std::snprintf(group, sizeof group, "%05d", GroupBase(id));
    return "/" + std::string(code) + group + ".rc";
}

std::unique_ptr<StringTable> TryLoad(const std::string& path) {
    if (!FileExists(path)) {
        return nullptr;
    }
    try {
        return std::make_unique<StringTable>(StringTable::Load(path));
    } catch (const Error&) {
        return nullptr;  // a damaged table counts as missing
    }
}

// The table of name from the data directory, else from the install
// directory's Bin folder.
std::unique_ptr<StringTable> LoadTable(const std::string& name) {
    std::unique_ptr<StringTable> table = TryLoad(LibraryDirectory() + name);
    if (!table) {
        // A station without Common has no install directory to search. (Raising
        // the registry error here would need this very lookup for its text.)
        RegEntry registry;
        if (registry.TestKey("Common")) {
            registry.OpenKey("Common");
            table = TryLoad(registry.GetString("InstallDirectory") + "/Bin" + name);
        }
    }
    return table;
}

}  // namespace

std::string GetLanguageFamilyCode(std::string_view code) {
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.code == code) {
            return entry.family;
        }
    }
    return std::string(code);
}

std::string GetLanguageCode(int32_t lLangID) {
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.lcid == lLangID) {
            return entry.code;
        }
    }
    return "ENU";
}

void InitResources() {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    for (CachedTable& cached : state.cache) {
        state.forgotten.push_back(std::move(cached.table));
    }
    state.cache.clear();
    state.enabled = true;
}

bool SetLanguage(int32_t& lLangID) {
    if (lLangID == 0) {
        std::string language;
        RegEntry registry;
        if (registry.TestKey("Common")) {
            registry.OpenKey("Common");
            language = registry.GetString("DefaultLanguage");
        }
        if (language.empty()) {
            language = "1033";
        }
        lLangID = static_cast<int32_t>(std::strtol(language.c_str(), nullptr, 10));
    }
    const std::string code = GetLanguageCode(lLangID);
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    if (code != state.languageCode) {
        FreeResourceLibraries();
        state.languageCode = code;
        state.enabled = true;
    }
    return true;
}

std::string CurrentLanguageCode() {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    return state.languageCode;
}

const StringTable* GetResourceLibrary(int32_t lID) {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.enabled) {
        return nullptr;
    }
    const std::string name = TableName(state.languageCode, lID);
    for (const CachedTable& cached : state.cache) {
        if (cached.name == name) {
            return cached.table.get();
        }
    }
    std::unique_ptr<StringTable> table = LoadTable(name);
    if (!table) {
        // A variant without tables of its own speaks its family's language.
        const std::string family = GetLanguageFamilyCode(state.languageCode);
        if (family != state.languageCode) {
            table = LoadTable(TableName(family, lID));
        }
    }
    if (!table) {
        return nullptr;
    }
    state.cache.push_back({std::move(table), name});
    return state.cache.back().table.get();
}

void FreeResourceLibraries() {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    state.cache.clear();
    state.forgotten.clear();
}

std::string GetResString(int32_t lID) {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.enabled) {
        return {};
    }
    if (state.languageCode.empty()) {
        int32_t language = 0;  // nothing selected yet: the station's default language
        SetLanguage(language);
    }
    const StringTable* table = GetResourceLibrary(lID);
    if (table == nullptr) {
        return std::string(kResourceFileNotFound);
    }
    if (const std::optional<std::string_view> text = table->Find(lID); text && !text->empty()) {
        std::string_view result = text->substr(0, kStringBuffer - 1);
        return std::string(result.substr(0, result.find('\0')));
    }
    if (lID != GroupBase(lID)) {
        return FormatResString(GroupBase(lID), std::to_string(lID));
    }
    return std::string(kResourceFileNotFound);
}

std::string FormatResStringWith(int32_t lID, std::span<const std::optional<std::string>> inserts) {
    {
        ResourceState& state = State();
        std::lock_guard lock(state.mutex);
        if (!state.enabled) {
            return {};
        }
    }
    std::string text = GetResString(lID);
    for (std::size_t k = 0; k < inserts.size() && k < 10; ++k) {
        if (inserts[k]) {
            const std::string placeholder = "%" + std::to_string(k) + "%";
            text = ReplaceAll(text, placeholder, *inserts[k]);
        }
    }
    return text;
}

std::string ReplaceAll(std::string_view sText, std::string_view sFind, std::string_view sReplace) {
    if (sFind.empty()) {
        return std::string(sText);
    }
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = sText.find(sFind, from);
        if (at == std::string_view::npos) {
            break;
        }
        result.append(sText, from, at - from);
        result.append(sReplace);
        from = at + sFind.size();
    }
    result.append(sText, from);
    return result;
}

std::string ResolveText(std::string_view sText) {
    {
        ResourceState& state = State();
        std::lock_guard lock(state.mutex);
        if (!state.enabled) {
            return {};
        }
    }
    if (sText.starts_with('@')) {
        return GetResString(
            static_cast<int32_t>(std::strtol(std::string(sText.substr(1)).c_str(), nullptr, 10)));
    }
    if (sText.size() == 1) {
        return std::string(sText);
    }
    return "[" + std::string(sText) + "]";
}

bool SetHelpFile(int32_t lLangID, std::string_view sBaseName) {
    const std::string code = GetLanguageCode(lLangID);
    std::string binDirectory;
    try {
        binDirectory = GetBinDirectory();
    } catch (const Error&) {
        binDirectory.clear();  // no install directory: only the data directory is searched
    }
    const std::string libraryDirectory = LibraryDirectory();
    for (const char* extension : {".chm", ".hlp"}) {
        for (const std::string& language : {code, std::string("ENU")}) {
            const std::string file = language + std::string(sBaseName) + extension;
            for (const std::string* directory :
                 {&libraryDirectory, static_cast<const std::string*>(&binDirectory)}) {
                if (directory->empty()) {
                    continue;
                }
                const std::string candidate = CombinePath(*directory, file);
                if (FileExists(candidate)) {
                    ResourceState& state = State();
                    std::lock_guard lock(state.mutex);
                    state.helpFile = candidate;
                    return true;
                }
            }
        }
    }
    return false;
}

bool IsHtmlHelp() {
    const std::string file = HelpFile();
    if (file.size() < 4) {
        return false;
    }
    return ToUpperAscii(std::string_view(file).substr(file.size() - 4)) == ".CHM";
}

std::string HelpFile() {
    ResourceState& state = State();
    std::lock_guard lock(state.mutex);
    return state.helpFile;
}

std::string LibraryDirectory() {
    const char* directory = std::getenv("VANTREEL_DATA_DIR");
    if (directory != nullptr && *directory != '\0') {
        return directory;
    }
    // Resolved once: the library does not move while it is loaded.
    static const std::string installed = InstalledDataDirectory();
    return installed.empty() ? VANTREEL_DEFAULT_DATA_DIR : installed;
}

}  // namespace vantreel
