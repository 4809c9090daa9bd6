#include "components/ContextServer.h"

#include "components/ComponentFactory.h"

#include <map>
#include <mutex>

namespace vantreel {
namespace {

struct Makers {
    std::mutex mutex;
    std::map<std::string, std::function<std::unique_ptr<ContextServer>()>> byProgId;
};

Makers& ContextServers() {
    static Makers makers;
    return makers;
}

constexpr const char* kContextServer = "Daskoren.Application";

// Whether the method's answer stands for an object: True, a number other than
// 0, or text.
bool IsObjectAnswer(const AutomationValue& answer) {
    if (const auto* flag = std::get_if<bool>(&answer)) {
        return *flag;
    }
    if (const auto* number = std::get_if<int32_t>(&answer)) {
        return *number != 0;
    }
    if (const auto* text = std::get_if<std::string>(&answer)) {
        return !text->empty();
    }
    return false;
}

// The context server registered as a plug-in; a station without one has no
// context. One that is registered but cannot be made raises its error.
bool PluginContextPresent() {
    if (!IsObjectRegistered(kContextServer)) {
        return false;
    }
    const std::unique_ptr<AutomationObject> server = CreateObject(kContextServer);
    for (const char* context : {"Sobrel\\Online", "Sobrel\\Offline"}) {
        std::vector<AutomationValue> args{std::string(context)};
        if (IsObjectAnswer(server->Invoke("GetContext", args))) {
            return true;
        }
    }
    return false;
}

}  // namespace

void RegisterContextServer(const std::string& progId,
                           std::function<std::unique_ptr<ContextServer>()> maker) {
    Makers& makers = ContextServers();
    std::lock_guard lock(makers.mutex);
    if (maker) {
        makers.byProgId[progId] = std::move(maker);
    } else {
        makers.byProgId.erase(progId);
    }
}

bool SobrelContextPresent() {
    std::function<std::unique_ptr<ContextServer>()> maker;
    {
        Makers& makers = ContextServers();
        std::lock_guard lock(makers.mutex);
        const auto found = makers.byProgId.find(kContextServer);
        if (found != makers.byProgId.end()) {
            maker = found->second;
        }
    }
    if (!maker) {
        return PluginContextPresent();
    }
    const std::unique_ptr<ContextServer> server = maker();
    return server != nullptr &&
           (server->GetContext("Sobrel\\Online") || server->GetContext("Sobrel\\Offline"));
}

}  // namespace vantreel
