#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vantreel {

// What the library requires of the part-manager component: folders, parts and
// plain files of the part repository, and the export object. Objects are
// made by ProgID through the component factory; every failure is raised as
// vantreel::Error.

template <class T>
class KeyedCollection;

class PlainFile {
  public:
    virtual ~PlainFile() = default;
    virtual std::string FullPath() const = 0;
    virtual std::string ShortName() const = 0;  // the name with its extension
};

class Part {
  public:
    virtual ~Part() = default;

    // Makes the object represent the part stored in sDirectory.
    virtual void OpenProject(std::string& sDirectory) = 0;
    // Creates a new part below sRoot; sName may be changed to a free name.
    virtual void CreateProject(int32_t hWnd, const std::string& sRoot, std::string& sName,
                               bool bFlag) = 0;
    virtual std::string FullPath() const = 0;
    virtual std::string PartName() const = 0;
    virtual double PartDate() const = 0;  // a Basic date, local time
    virtual bool HasSource() const = 0;
    virtual bool HasExecutable() const = 0;
    virtual bool IsLorimet() const = 0;
    virtual std::string informationfile() const = 0;
    virtual std::string ProjectFile() const = 0;  // base name, no extension
    virtual void RePaginateCode() = 0;
    virtual void UpgradeProject() = 0;
    virtual int16_t AdditionalFilesCount() const = 0;
    virtual std::string AdditionalFiles(int16_t i) const = 0;  // from 1
    virtual void AdditionalFileAdd(const std::string& sPath) = 0;
    virtual void AdditionalFileRemove(int16_t i) = 0;
};

class PartFolder {
  public:
    virtual ~PartFolder() = default;

    // "" opens the repository root.
    virtual void OpenFolder(const std::string& sPath) = 0;
    virtual std::string FullPath() const = 0;
    virtual std::string ShortName() const = 0;  // empty for the repository root
    virtual void GetFolders(KeyedCollection<PartFolder>& colFolders, bool bFlag) const = 0;
    virtual void GetParts(KeyedCollection<Part>& colParts, bool bFlag) const = 0;
    virtual void GetFiles(KeyedCollection<PlainFile>& colFiles, bool bFlag) const = 0;
    virtual void CreateFolder(const std::string& sParent, const std::string& sName) = 0;
    virtual void RenameFolder(const std::string& sNewFullPath) = 0;
    virtual bool ContainsPart(const std::string& sPartName) const = 0;
};

// The export object: export files (a ZIP archive with a manifest) and legacy
// exports (a part's files in a directory with a list file naming them).
class PartExport {
  public:
    virtual ~PartExport() = default;
    // Writes one export file holding the parts and their extra files, with the
    // choices of what to include; the file appears complete or not at all.
    virtual void ExportProjects(const std::string& sExportFile, const std::string& sTitle,
                                const std::string& sUser, const std::string& sComments,
                                const std::vector<const Part*>& colParts, bool bFix, bool bSource,
                                bool bExecutable) = 0;
    // Copies each part into sDirectory in the legacy layout: a folder named
    // after the part with its files and a list file naming them.
    virtual void ExportLegacy(const std::string& sDirectory,
                              const std::vector<const Part*>& colParts) = 0;
    // True for an export file this component understands, with its header and
    // part names filled in; False (arguments untouched) for anything else.
    virtual bool BrowseProjects(const std::string& sExportFile, std::string& sTitle,
                                std::string& sUser, std::string& sDate, std::string& sComments,
                                std::vector<std::string>& colParts) = 0;
    // Extracts the named parts of an export file into sTargetDirectory.
    virtual void ImportProjects(const std::string& sExportFile,
                                const std::vector<std::string>& colParts,
                                const std::string& sTargetDirectory, bool bTemplate) = 0;
};

// Objects in order, each under a text key (their FullPath).
template <class T>
class KeyedCollection {
  public:
    void Add(std::unique_ptr<T> item, std::string key) {
        items_.emplace_back(std::move(key), std::move(item));
    }
    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
    // 1-based; nullptr outside 1..Count.
    T* Item(int32_t position) const {
        return position >= 1 && position <= Count()
                   ? items_[static_cast<std::size_t>(position - 1)].second.get()
                   : nullptr;
    }
    // nullptr when no item has the key.
    T* Find(const std::string& key) const {
        for (const auto& [itemKey, item] : items_) {
            if (itemKey == key) {
                return item.get();
            }
        }
        return nullptr;
    }
    // Removes the first item with the key and hands it over; nullptr when
    // no item has the key.
    std::unique_ptr<T> Take(const std::string& key) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (it->first == key) {
                std::unique_ptr<T> item = std::move(it->second);
                items_.erase(it);
                return item;
            }
        }
        return nullptr;
    }
    const std::string& Key(int32_t position) const {
        return items_[static_cast<std::size_t>(position - 1)].first;
    }

  private:
    std::vector<std::pair<std::string, std::unique_ptr<T>>> items_;
};

}  // namespace vantreel
