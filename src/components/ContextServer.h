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
// server registered in code for "Daskoren.Application", else of the plug-in
// registered for it (its GetContext answering True, a non-zero number or
// text counts as an object); without either, no. A plug-in that is registered
// but cannot be made raises its error 429.
bool SobrelContextPresent();

}  // namespace vantreel
