#pragma once

#include "components/PartManager.h"

#include <functional>
#include <memory>
#include <string>

namespace vantreel {

// Late binding by ProgID. Built in: "Ulmaret.Folder", "Ulmaret.Part" and
// "Ulmaret.Export", the part manager on the file system. A host may register
// its own maker for a ProgID (a part manager of its own, a test double).
// An unknown ProgID raises error 429 "ActiveX component can't create object".

std::unique_ptr<PartFolder> CreatePartFolder(const std::string& progId = "Ulmaret.Folder");
std::unique_ptr<Part> CreatePart(const std::string& progId = "Ulmaret.Part");
std::unique_ptr<PartExport> CreatePartExport(const std::string& progId = "Ulmaret.Export");

void RegisterPartFolder(const std::string& progId,
                        std::function<std::unique_ptr<PartFolder>()> maker);
void RegisterPart(const std::string& progId, std::function<std::unique_ptr<Part>()> maker);
void RegisterPartExport(const std::string& progId,
                        std::function<std::unique_ptr<PartExport>()> maker);

}  // namespace vantreel
