#include "shared/RegEntry.h"

#include "shared/Resources.h"
#include "shared/RunTimeError.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

namespace vantreel {
namespace {

// Values are read into a buffer of this many bytes, terminating NUL included.
constexpr std::size_t kReadBuffer = 255;

std::string Upper(std::string_view text) {
    return FoldRegistryName(text);
}

// The errors the wrapper raises itself: a key not created or opened, a value
// not written.
bool IsRegistryKeyOrValueError(const Error& error) {
    const int32_t number = error.Number();
    return number == ErrorNumberOf(RunTimeError::KeyNotCreated) ||
           number == ErrorNumberOf(RunTimeError::KeyNotOpened) ||
           number == ErrorNumberOf(RunTimeError::ValueNotWritten);
}

}  // namespace

bool RegistryTextIsTrue(std::string_view text) {
    if (text.empty() || text == "0") {
        return false;
    }
    const std::string upper = Upper(text);
    return upper != "NO" && upper != "FALSE";
}

RegEntry::RegEntry() : store_(RegistryStore::Open()) {}
RegEntry::RegEntry(std::shared_ptr<RegistryStore> store) : store_(std::move(store)) {}
RegEntry::~RegEntry() = default;

void RegEntry::Copy(const std::string& sKey) {
    if (!current_) {
        return;
    }
    const RegKeyId source = *current_;
    try {
        CopyTree(source, sKey);
    } catch (const Error& error) {
        if (IsRegistryKeyOrValueError(error)) {
            throw;
        }
        throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CopyInternal",
                        FormatResString(110002, sKey));
    }
}

void RegEntry::CopyTree(RegKeyId source, const std::string& sKey) {
    store_->Transaction([&] {
        const RegKeyId destination =
            CreateInternal(RegistryStore::Root(RegHive::LocalMachine), RootedPath(sKey));
        // A copy into the key's own subtree would never end.
        for (std::optional<RegKeyId> key = destination; key; key = store_->Parent(*key)) {
            if (*key == source) {
                throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CopyInternal",
                                FormatResString(110002, sKey));
            }
        }
        CopyInternal(destination, source);
    });
}

void RegEntry::CreateKey(const std::string& sKey) {
    CloseKey();
    try {
        store_->Transaction([&] {
            current_ = CreateInternal(RegistryStore::Root(RegHive::LocalMachine), RootedPath(sKey));
        });
    } catch (const Error& error) {
        current_.reset();
        if (error.Number() == ErrorNumberOf(RunTimeError::KeyNotCreated)) {
            throw;
        }
        // A registry that cannot be reached or written: the key cannot be created.
        throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CreateInternal",
                        FormatResString(110002, sKey));
    }
}

void RegEntry::DeleteValue(const std::string& sName) {
    if (!current_) {
        return;
    }
    try {
        store_->DeleteValue(*current_, sName);
    } catch (const Error&) {
        // a value that cannot be deleted is left as it is
    }
}

int16_t RegEntry::Query(std::vector<std::string>& colKeys) {
    if (!current_) {
        return 0;
    }
    for (RegSubkey& subkey : store_->Subkeys(*current_)) {
        colKeys.push_back(std::move(subkey.name));
    }
    return static_cast<int16_t>(colKeys.size());
}

int16_t RegEntry::QueryValues(std::vector<std::array<std::string, 3>>& vValues) {
    vValues.assign(1, {});
    if (!current_) {
        return 0;
    }
    const std::vector<RegValue> values = store_->Values(*current_);
    vValues.assign(values.size() + 1, {});
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string data = values[i].data;
        while (!data.empty() && data.back() == '\0') {
            data.pop_back();
        }
        vValues[i] = {values[i].name, std::move(data), std::string()};
    }
    return static_cast<int16_t>(values.size());
}

std::optional<std::string> RegEntry::DefaultValueOf(const std::string& classesRootPath) {
    const std::optional<RegKeyId> key =
        store_->FindKey(RegistryStore::Root(RegHive::ClassesRoot), classesRootPath);
    if (!key) {
        return std::nullopt;
    }
    std::optional<RegValue> value = store_->Value(*key, "");
    if (!value) {
        return std::nullopt;
    }
    if (!value->data.empty() && value->data.back() == '\0') {
        value->data.pop_back();
    }
    return value->data;
}

void RegEntry::DeleteClassesRootTree(const std::string& path) {
    if (const std::optional<RegKeyId> key =
            store_->FindKey(RegistryStore::Root(RegHive::ClassesRoot), path)) {
        store_->DeleteKey(*key);
    }
}

void RegEntry::RemoveProgID(const std::string& sProgID) {
    try {
        const std::string classId = DefaultValueOf(sProgID + "\\Clsid").value_or("");
        DeleteClassesRootTree(sProgID);
        if (classId.empty()) {
            return;
        }
        const std::string typeLib = DefaultValueOf("CLSID\\" + classId + "\\TypeLib").value_or("");
        DeleteClassesRootTree("CLSID\\" + classId);
        if (!typeLib.empty()) {
            DeleteClassesRootTree("TypeLib\\" + typeLib);
        }
    } catch (const Error&) {
        // unregistering tolerates every failure
    }
}

void RegEntry::SetBoolean(const std::string& sName, bool bValue) {
    SetString(sName, bValue ? "true" : "false");
}

void RegEntry::SetString(const std::string& sName, const std::string& sValue) {
    if (!current_) {
        return;
    }
    if (sValue.empty()) {
        DeleteValue(sName);
        return;
    }
    try {
        store_->SetValue(*current_, sName, REG_SZ, sValue);
    } catch (const Error&) {
        throw MakeError(RunTimeError::ValueNotWritten, "RegEntry.SetValue",
                        FormatResString(110003, sName));
    }
}

void RegEntry::DeleteKey(const std::string& sKey) {
    if (current_) {
        DeleteInternal(*current_, sKey);
    }
}

void RegEntry::DeleteInternal(RegKeyId hParent, const std::string& sKey) {
    const std::optional<RegKeyId> key = store_->FindKey(hParent, sKey);
    if (!key || *key == hParent) {
        throw MakeError(RunTimeError::KeyNotOpened, "RegEntry.CopyInternal",
                        FormatResString(110001, sKey));
    }
    store_->DeleteKey(*key);
}

void RegEntry::OpenKey(const std::string& sKey) {
    CloseKey();
    std::string path(Trim(sKey));
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    try {
        current_ = OpenInternal(RegistryStore::Root(RegHive::LocalMachine), RootedPath(path));
    } catch (const Error& error) {
        if (error.Number() == ErrorNumberOf(RunTimeError::KeyNotOpened)) {
            throw;
        }
        // A registry that cannot be read: the key cannot be opened.
        throw MakeError(RunTimeError::KeyNotOpened, "RegEntry.OpenInternal",
                        FormatResString(110001, path));
    }
}

bool RegEntry::TestKey(const std::string& sKey) {
    try {
        return store_->FindKey(RegistryStore::Root(RegHive::LocalMachine), RootedPath(sKey))
            .has_value();
    } catch (const Error&) {
        return false;
    }
}

bool RegEntry::GetBoolean(const std::string& sName) {
    return current_ && RegistryTextIsTrue(GetString(sName));
}

std::string RegEntry::GetClassID(const std::string& sProgID) {
    try {
        return DefaultValueOf(sProgID + "\\Clsid").value_or("");
    } catch (const Error&) {
        return {};
    }
}

std::string RegEntry::GetString(const std::string& sName) {
    if (!current_) {
        return {};
    }
    std::optional<RegValue> value = store_->Value(*current_, sName);
    if (!value) {
        return {};
    }
    std::string& data = value->data;
    const bool terminated = !data.empty() && data.back() == '\0';
    if (data.size() + (terminated ? 0 : 1) > kReadBuffer) {
        return {};  // does not fit the read buffer
    }
    if (terminated) {
        data.pop_back();
    }
    return std::move(data);
}

std::string RegEntry::GetStringInternational(const std::string& sName, int32_t lLangID) {
    std::string text = GetString(GetLanguageCode(lLangID) + sName);
    return text.empty() ? GetString(sName) : text;
}

RegKeyId RegEntry::CreateInternal(RegKeyId hParent, const std::string& sPath) {
    const std::size_t separator = sPath.find('\\');
    if (separator != std::string::npos) {
        const std::string component = sPath.substr(0, separator);
        RegKeyId key = hParent;
        if (!component.empty()) {
            try {
                key = store_->CreateKey(hParent, component);
            } catch (const Error&) {
                throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CreateInternal",
                                FormatResString(110002, component));
            }
        }
        return CreateInternal(key, sPath.substr(separator + 1));
    }
    if (sPath.empty()) {
        return hParent;
    }
    try {
        return store_->CreateKey(hParent, sPath);
    } catch (const Error&) {
        throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CreateInternal",
                        FormatResString(110002, sPath));
    }
}

RegKeyId RegEntry::OpenInternal(RegKeyId hParent, const std::string& sPath) {
    const std::optional<RegKeyId> key = store_->FindKey(hParent, sPath);
    if (!key) {
        throw MakeError(RunTimeError::KeyNotOpened, "RegEntry.OpenInternal",
                        FormatResString(110001, sPath));
    }
    return *key;
}

void RegEntry::CopyInternal(RegKeyId hDest, RegKeyId hSource) {
    for (const RegValue& value : store_->Values(hSource)) {
        try {
            store_->SetValue(hDest, value.name, REG_SZ, value.data);
        } catch (const Error&) {
            throw MakeError(RunTimeError::ValueNotWritten, "RegEntry.SetValue",
                            FormatResString(110003, value.name));
        }
    }
    for (const RegSubkey& subkey : store_->Subkeys(hSource)) {
        RegKeyId destination = 0;
        try {
            destination = store_->CreateKey(hDest, subkey.name);
        } catch (const Error&) {
            throw MakeError(RunTimeError::KeyNotCreated, "RegEntry.CopyInternal",
                            FormatResString(110002, subkey.name));
        }
        CopyInternal(destination, subkey.id);
    }
}

}  // namespace vantreel
