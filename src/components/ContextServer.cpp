#include "components/ContextServer.h"

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
        const auto found = makers.byProgId.find("Daskoren.Application");
        if (found != makers.byProgId.end()) {
            maker = found->second;
        }
    }
    if (!maker) {
        return false;  // no context server on this station
    }
    const std::unique_ptr<ContextServer> server = maker();
    return server != nullptr &&
           (server->GetContext("Sobrel\\Online") || server->GetContext("Sobrel\\Offline"));
}

}  // namespace vantreel
