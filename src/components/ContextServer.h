#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vantreel {

// The context server of the product family ("Daskoren.Application"): asked
// for a context by its path, it answers whether there is one.
class ContextServer {
  public:
    virtual ~ContextServer() = default;
    // True when the server returns an object for the context path.
    virtual bool GetContext(const std::string& contextPath) = 0;
};

// Registers the maker of a context server for a ProgID.
void RegisterContextServer(const std::string& progId,
                           std::function<std::unique_ptr<ContextServer>()> maker);

// Whether a Sobrel context (online or offline) is present: asked of the
// server registered for "Daskoren.Application"; without one, no.
bool SobrelContextPresent();

}  // namespace vantreel
