#include "components/ComponentFactory.h"

#include "components/FileSystemExport.h"
#include "components/FileSystemFolder.h"
#include "components/FileSystemPart.h"
#include "shared/RegistryStore.h"
#include "shared/RunTimeError.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

namespace vantreel {
namespace {

template <class T>
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::function<std::unique_ptr<T>()>> makers;
};

template <class T>
Registry<T>& RegistryOf();

template <>
Registry<PartFolder>& RegistryOf<PartFolder>() {
    static Registry<PartFolder> registry{
        {}, {{"Ulmaret.Folder", [] { return std::make_unique<FileSystemFolder>(); }}}};
    return registry;
}

template <>
Registry<Part>& RegistryOf<Part>() {
    static Registry<Part> registry{
        {}, {{"Ulmaret.Part", [] { return std::make_unique<FileSystemPart>(); }}}};
    return registry;
}

template <>
Registry<PartExport>& RegistryOf<PartExport>() {
    static Registry<PartExport> registry{
        {}, {{"Ulmaret.Export", [] { return std::make_unique<FileSystemExport>(); }}}};
    return registry;
}

template <>
Registry<AutomationObject>& RegistryOf<AutomationObject>() {
    static Registry<AutomationObject> registry;
    return registry;
}

template <class T>
std::function<std::unique_ptr<T>()> MakerOf(const std::string& progId) {
    Registry<T>& registry = RegistryOf<T>();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.makers.find(progId);
    return found != registry.makers.end() ? found->second : std::function<std::unique_ptr<T>()>();
}

[[noreturn]] void CannotCreate(const std::string& progId, const std::string& reason) {
    throw MakeError(RunTimeError::CannotCreateObject, progId,
                    "ActiveX component can't create object: " + progId + " (" + reason + ")");
}

// The default value of a key below HKEY_CLASSES_ROOT, without a trailing NUL;
// nullopt when the key or the value is missing.
std::optional<std::string> ClassesRootDefault(RegistryStore& store, const std::string& path) {
    const std::optional<RegKeyId> key =
        store.FindKey(RegistryStore::Root(RegHive::ClassesRoot), path);
    if (!key) {
        return std::nullopt;
    }
    std::optional<RegValue> value = store.Value(*key, "");
    if (!value) {
        return std::nullopt;
    }
    while (!value->data.empty() && value->data.back() == '\0') {
        value->data.pop_back();
    }
    return value->data;
}

std::string Trimmed(std::string_view text) {
    return std::string(Trim(text, kBlanksAndTabs));
}

// Shared objects stay loaded for the life of the process, as objects made from
// them may outlive any caller's bookkeeping; each is opened once.
void* LoadSharedObject(const std::string& progId, const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    if (const auto found = loaded.find(path); found != loaded.end()) {
        return found->second;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        CannotCreate(progId,
                     "the shared object '" + path + "' cannot be found: " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        CannotCreate(progId, "the shared object '" + path + "' is not a file");
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        CannotCreate(progId, "the shared object '" + path + "' cannot be loaded: " +
                                 (reason != nullptr ? reason : "unknown reason"));
    }
    loaded.emplace(path, handle);
    return handle;
}

std::unique_ptr<AutomationObject> CreateFromRegistry(const std::string& progId) {
    const std::shared_ptr<RegistryStore> store = RegistryStore::Open();
    const std::string classId =
        Trimmed(ClassesRootDefault(*store, progId + "\\Clsid").value_or(""));
    if (classId.empty()) {
        CannotCreate(progId, "the ProgID is not registered");
    }
    const std::string path =
        Trimmed(ClassesRootDefault(*store, "CLSID\\" + classId + "\\InprocServer32").value_or(""));
    if (path.empty()) {
        CannotCreate(progId, "class " + classId + " has no InprocServer32 registered");
    }
    void* handle = LoadSharedObject(progId, path);
    dlerror();
    auto entry = reinterpret_cast<VantreelGetClassFunction>(dlsym(handle, VANTREEL_PLUGIN_ENTRY));
    if (entry == nullptr) {
        CannotCreate(
            progId, "the shared object '" + path + "' has no entry point " + VANTREEL_PLUGIN_ENTRY);
    }
    const VantreelClass* cls = entry(classId.c_str());
    if (cls == nullptr) {
        CannotCreate(progId, "the shared object '" + path + "' has no class " + classId);
    }
    if (cls->abiVersion != VANTREEL_PLUGIN_ABI) {
        CannotCreate(progId, "the shared object '" + path + "' is built for plug-in interface " +
                                 std::to_string(cls->abiVersion) + ", this library uses " +
                                 std::to_string(VANTREEL_PLUGIN_ABI));
    }
    if (cls->create == nullptr || cls->invoke == nullptr) {
        CannotCreate(progId, "the class " + classId + " of '" + path + "' is incomplete");
    }
    void* object = cls->create();
    if (object == nullptr) {
        CannotCreate(progId, "the class " + classId + " of '" + path + "' made no object");
    }
    return std::make_unique<AutomationObject>(progId, cls, object);
}

template <class T>
std::unique_ptr<T> Create(const std::string& progId) {
    Registry<T>& registry = RegistryOf<T>();
    std::function<std::unique_ptr<T>()> maker;
    {
        std::lock_guard lock(registry.mutex);
        const auto found = registry.makers.find(progId);
        if (found != registry.makers.end()) {
            maker = found->second;
        }
    }
    if (!maker) {
        throw MakeError(RunTimeError::CannotCreateObject, progId,
                        "ActiveX component can't create object: " + progId);
    }
    return maker();
}

template <class T>
void Register(const std::string& progId, std::function<std::unique_ptr<T>()> maker) {
    Registry<T>& registry = RegistryOf<T>();
    std::lock_guard lock(registry.mutex);
    registry.makers[progId] = std::move(maker);
}

}  // namespace

std::unique_ptr<AutomationObject> CreateObject(const std::string& progId) {
    if (const auto maker = MakerOf<AutomationObject>(progId)) {
        std::unique_ptr<AutomationObject> object = maker();
        if (!object) {
            CannotCreate(progId, "its maker made no object");
        }
        return object;
    }
    return CreateFromRegistry(progId);
}

void RegisterObject(const std::string& progId,
                    std::function<std::unique_ptr<AutomationObject>()> maker) {
    Registry<AutomationObject>& registry = RegistryOf<AutomationObject>();
    std::lock_guard lock(registry.mutex);
    if (maker) {
        registry.makers[progId] = std::move(maker);
    } else {
        registry.makers.erase(progId);
    }
}

void RegisterInprocServer(const std::string& progId, const std::string& classId,
                          const std::string& sharedObject) {
    const std::shared_ptr<RegistryStore> store = RegistryStore::Open();
    const auto createPath = [&store](std::initializer_list<std::string_view> names) {
        RegKeyId key = RegistryStore::Root(RegHive::ClassesRoot);
        for (const std::string_view name : names) {
            key = store->CreateKey(key, name);
        }
        return key;
    };
    store->Transaction([&] {
        store->SetValue(createPath({progId, "Clsid"}), "", REG_SZ, classId);
        store->SetValue(createPath({"CLSID", classId}), "", REG_SZ, progId);
        store->SetValue(createPath({"CLSID", classId, "ProgID"}), "", REG_SZ, progId);
        store->SetValue(createPath({"CLSID", classId, "InprocServer32"}), "", REG_SZ, sharedObject);
    });
}

bool IsObjectRegistered(const std::string& progId) {
    if (MakerOf<AutomationObject>(progId)) {
        return true;
    }
    try {
        const std::shared_ptr<RegistryStore> store = RegistryStore::Open();
        return !Trimmed(ClassesRootDefault(*store, progId + "\\Clsid").value_or("")).empty();
    } catch (const Error&) {
        return false;
    }
}

std::unique_ptr<PartFolder> CreatePartFolder(const std::string& progId) {
    return Create<PartFolder>(progId);
}
std::unique_ptr<Part> CreatePart(const std::string& progId) {
    return Create<Part>(progId);
}
std::unique_ptr<PartExport> CreatePartExport(const std::string& progId) {
    return Create<PartExport>(progId);
}

void RegisterPartFolder(const std::string& progId,
                        std::function<std::unique_ptr<PartFolder>()> maker) {
    Register<PartFolder>(progId, std::move(maker));
}
void RegisterPart(const std::string& progId, std::function<std::unique_ptr<Part>()> maker) {
    Register<Part>(progId, std::move(maker));
}
void RegisterPartExport(const std::string& progId,
                        std::function<std::unique_ptr<PartExport>()> maker) {
    Register<PartExport>(progId, std::move(maker));
}

}  // namespace vantreel
