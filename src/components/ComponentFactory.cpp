#include "components/ComponentFactory.h"

#include "components/FileSystemExport.h"
#include "components/FileSystemFolder.h"
#include "components/FileSystemPart.h"
#include "vantreel/Error.h"

#include <map>
#include <mutex>

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
        throw Error(429, progId, "ActiveX component can't create object: " + progId);
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
