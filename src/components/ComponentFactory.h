#pragma once

#include "components/AutomationObject.h"
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

// Every other component (add-on settings editors, the context server) is an
// object called by method name. CreateObject takes a maker registered in code
// for the ProgID, else the plug-in registered in the registry:
//   HKEY_CLASSES_ROOT\<ProgID>\Clsid (default)                 the class ID
//   HKEY_CLASSES_ROOT\CLSID\<class id>\InprocServer32 (default) the shared object
// which is loaded with dlopen and asked for the class (vantreel/Plugin.h).
// Every failure raises error 429 with a description naming the ProgID and
// what went wrong: not registered, no shared object registered, the shared
// object missing, not loadable, without the entry point, built for another
// interface version, without the class, or refusing to make an object.
std::unique_ptr<AutomationObject> CreateObject(const std::string& progId);

// Writes the registration CreateObject reads: the ProgID's class ID and the
// class's shared object (an absolute path), in one transaction.
void RegisterInprocServer(const std::string& progId, const std::string& classId,
                          const std::string& sharedObject);

// Registers (or, with an empty maker, removes) a maker in code for a ProgID.
void RegisterObject(const std::string& progId,
                    std::function<std::unique_ptr<AutomationObject>()> maker);

// Whether CreateObject has anything to try for the ProgID: a maker in code or
// a class ID in the registry. Never fails.
bool IsObjectRegistered(const std::string& progId);

}  // namespace vantreel
