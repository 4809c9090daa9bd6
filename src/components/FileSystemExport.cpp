#include "components/FileSystemExport.h"

#include "components/ArchivePath.h"
#include "components/ExportManifest.h"
#include "components/FileSystemPart.h"
#include "components/LegacyList.h"
#include "components/PartContent.h"
#include "components/StagedFolder.h"
#include "shared/AtomicFile.h"
#include "shared/IniFile.h"
#include "shared/RunTimeError.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "Ulmaret.Export";
constexpr zip_uint32_t kCompressionLevel = 6;  // as zip and gzip choose by default

struct ZipDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};
using ArchiveFile = std::unique_ptr<zip_file_t, ZipFileClose>;

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

[[noreturn]] void Damaged(const std::string& file, const std::string& why) {
    throw Error(321, kSource, "'" + file + "' cannot be imported: " + why);
}

// Opens an archive for reading; nullptr with the reason when it is none.
Archive OpenArchive(const std::string& file, std::string& reason) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        reason = std::string("it cannot be opened (") + std::strerror(errno) + ")";
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "it is not a file";
        return nullptr;
    }
    int code = 0;
    Archive archive(zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        reason = code == ZIP_ER_EXISTS
                     ? "an entry appears more than once"
                     : "it is not a readable ZIP archive (" + ZipErrorText(code) + ")";
    }
    return archive;
}

std::optional<ExportManifest> ReadManifest(zip_t* archive, std::string& reason) {
    const zip_int64_t index = zip_name_locate(archive, ExportManifest::kEntryName, 0);
    zip_stat_t info;
    if (index < 0 || zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &info) != 0) {
        reason = "it holds no export manifest";
        return std::nullopt;
    }
    if (info.size > ExportManifest::kMaxSize) {
        reason = "its manifest is too large";
        return std::nullopt;
    }
    ArchiveFile file(zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        reason = std::string("its manifest cannot be read (") + zip_strerror(archive) + ")";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(info.size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), text.data() + done, text.size() - done);
        if (got < 0) {
            reason = std::string("its manifest is damaged (") + zip_file_strerror(file.get()) + ")";
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
        if (done == text.size()) {
            reason = "its manifest is longer than it declares";
            return std::nullopt;
        }
    }
    text.resize(done);
    return ParseManifest(text, &reason);
}

bool IsProgram(const std::string& relative) {
    const std::string extension = ToUpperAscii(fs::path(relative).extension().string());
    return extension == ".EXE" || extension == ".DLL" || extension == ".OCX";
}

// One entry of an export file, checked.
struct ArchiveEntry {
    zip_uint64_t index = 0;
    std::string part;
    std::string relative;  // inside the part; "" for the part's own folder
    bool directory = false;
    uint64_t size = 0;
    uint32_t mode = 0;
    time_t mtime = 0;
};

// Every entry of the archive, each checked: it must be the manifest or lie
// below the folder of a part the manifest lists, appear once, and be a plain
// file or folder within the limits.
std::vector<ArchiveEntry> Inventory(zip_t* archive, const ExportManifest& manifest,
                                    const std::string& file,
                                    const FileSystemExport::Limits& limits) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<uint64_t>(count) > limits.maxEntries) {
        Damaged(file, "it holds more than " + std::to_string(limits.maxEntries) + " entries");
    }
    std::vector<ArchiveEntry> entries;
    std::set<std::string> seen;
    const std::string prefix = ExportManifest::kPartsFolder;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t info;
        if (zip_stat_index(archive, i, 0, &info) != 0 || (info.valid & ZIP_STAT_NAME) == 0) {
            Damaged(file, "entry " + std::to_string(i + 1) + " cannot be read");
        }
        const std::string name = info.name;
        const std::string quoted = "the entry '" + name + "' ";
        std::string why;
        const std::string safe = SafeRelativePath(name, false, &why);
        if (safe.empty()) {
            Damaged(file, quoted + "is refused: " + why);
        }
        if (!seen.insert(safe).second) {
            Damaged(file, quoted + "appears more than once");
        }
        if (safe == ExportManifest::kEntryName) {
            continue;
        }
        const bool directory = name.back() == '/';
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive, i, 0, &system, &attributes);
        uint32_t mode = directory ? 0755 : 0644;
        if (system == ZIP_OPSYS_UNIX && (attributes >> 16) != 0) {
            const mode_t unixMode = static_cast<mode_t>(attributes >> 16);
            const bool plain = S_ISREG(unixMode) || S_ISDIR(unixMode) || (unixMode & S_IFMT) == 0;
            if (S_ISLNK(unixMode)) {
                Damaged(file, quoted + "is a symbolic link");
            }
            if (!plain || (S_ISDIR(unixMode) && !directory)) {
                Damaged(file, quoted + "is neither a file nor a folder");
            }
            mode = unixMode & 0777u;
        }
        if (!safe.starts_with(prefix)) {
            Damaged(file, quoted + "belongs to no part");
        }
        const std::string rest = safe.substr(prefix.size());
        const std::string part = rest.substr(0, rest.find('/'));
        if (manifest.Find(part) == nullptr) {
            Damaged(file, quoted + "belongs to no part of the manifest");
        }
        ArchiveEntry entry;
        entry.index = i;
        entry.part = part;
        entry.relative = rest.size() > part.size() ? rest.substr(part.size() + 1) : "";
        entry.directory = directory || entry.relative.empty();
        if (!entry.directory) {
            if ((info.valid & ZIP_STAT_SIZE) == 0) {
                Damaged(file, quoted + "declares no size");
            }
            if (info.encryption_method != ZIP_EM_NONE) {
                Damaged(file, quoted + "is encrypted");
            }
            if ((info.valid & ZIP_STAT_COMP_METHOD) != 0 &&
                zip_compression_method_supported(static_cast<zip_int32_t>(info.comp_method), 0) ==
                    0) {
                Damaged(file, quoted + "uses a compression method this version cannot read");
            }
            entry.size = info.size;
        }
        entry.mode = mode | 0600u;
        entry.mtime = (info.valid & ZIP_STAT_MTIME) != 0 ? info.mtime : 0;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Creates the folders of relative (its parents when it is a file) below root.
void MakeFoldersBelow(const std::string& root, const std::string& relative, bool includeLast) {
    std::size_t slash = relative.find('/');
    for (; slash != std::string::npos; slash = relative.find('/', slash + 1)) {
        MakeFolder(root + "/" + relative.substr(0, slash));
    }
    if (includeLast) {
        MakeFolder(root + "/" + relative);
    }
}

void SetModificationTime(int fd, time_t mtime) {
    if (mtime > 0) {
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        futimens(fd, times);
    }
}

// Streams one entry into a new file, never past the size it declares.
void Extract(zip_t* archive, const ArchiveEntry& entry, const std::string& path,
             const std::string& file) {
    ArchiveFile in(zip_fopen_index(archive, entry.index, 0));
    if (!in) {
        Damaged(file, "'" + entry.relative + "' of the part '" + entry.part + "' cannot be read (" +
                          zip_strerror(archive) + ")");
    }
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                         entry.mode & 0777u);
    if (out < 0) {
        throw Error(75, kSource, "'" + path + "' cannot be created: " + std::strerror(errno));
    }
    std::vector<char> buffer(256 * 1024);
    uint64_t total = 0;
    try {
        for (;;) {
            const zip_int64_t got = zip_fread(in.get(), buffer.data(), buffer.size());
            if (got < 0) {
                Damaged(file, "'" + entry.relative + "' of the part '" + entry.part +
                                  "' is damaged (" + zip_file_strerror(in.get()) + ")");
            }
            if (got == 0) {
                break;
            }
            total += static_cast<uint64_t>(got);
            if (total > entry.size) {
                Damaged(file, "'" + entry.relative + "' of the part '" + entry.part +
                                  "' holds more than the " + std::to_string(entry.size) +
                                  " bytes it declares");
            }
            for (zip_int64_t written = 0; written < got;) {
                const ssize_t put =
                    write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
                if (put < 0 && errno == EINTR) {
                    continue;
                }
                if (put < 0) {
                    throw Error(errno == ENOSPC ? 61 : 75, kSource,
                                "'" + path + "' cannot be written: " + std::strerror(errno));
                }
                written += put;
            }
        }
        if (total != entry.size) {
            Damaged(file, "'" + entry.relative + "' of the part '" + entry.part +
                              "' is shorter than it declares");
        }
        SetModificationTime(out, entry.mtime);
    } catch (...) {
        close(out);
        throw;
    }
    if (close(out) != 0) {
        throw Error(75, kSource, "'" + path + "' cannot be written: " + std::strerror(errno));
    }
}

std::string LocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void WriteInformation(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& value) {
    if (WriteIniString(file, section, key, value) == 0) {
        throw Error(75, kSource, "The information file '" + file + "' cannot be written");
    }
}

std::vector<PartContent> CollectAll(const std::vector<const Part*>& parts, bool fix, bool source,
                                    bool executable) {
    if (parts.empty()) {
        throw Error(5, kSource, "No part was chosen for the export");
    }
    std::vector<PartContent> contents;
    std::set<std::string> names;
    for (const Part* part : parts) {
        if (part == nullptr) {
            throw Error(91, kSource, "A part of the export is not open");
        }
        contents.push_back(PartContent::Collect(*part, fix, source, executable));
        if (!names.insert(contents.back().name).second) {
            throw Error(58, kSource,
                        "Two parts of the export are named '" + contents.back().name + "'");
        }
    }
    return contents;
}

}  // namespace

void FileSystemExport::ExportProjects(const std::string& sExportFile, const std::string& sTitle,
                                      const std::string& sUser, const std::string& sComments,
                                      const std::vector<const Part*>& colParts, bool bFix,
                                      bool bSource, bool bExecutable) {
    const std::vector<PartContent> contents = CollectAll(colParts, bFix, bSource, bExecutable);
    ExportManifest manifest;
    manifest.title = sTitle;
    manifest.user = sUser;
    manifest.comments = sComments;
    manifest.date = LocalDate();
    manifest.fix = bFix;
    manifest.source = bSource;
    manifest.executable = bExecutable;
    for (const PartContent& content : contents) {
        manifest.parts.push_back({content.name, content.additional});
    }
    const std::string manifestText = WriteManifest(manifest);

    // The archive is written under a temporary name beside the export file and
    // renamed over it when complete. A symbolic link is written through: the
    // file it names is replaced, the link stays.
    std::string finalPath;
    if (!sExportFile.empty()) {
        const std::string problem = WriteTargetProblem(sExportFile, finalPath);
        if (!problem.empty()) {
            throw Error(75, kSource,
                        "The export file '" + sExportFile + "' cannot be written: " + problem);
        }
    }
    const fs::path target(finalPath);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code error;
    if (sExportFile.empty() || !fs::is_directory(folder, error)) {
        throw Error(76, kSource,
                    "The folder of the export file '" + sExportFile + "' does not exist");
    }
    std::string temporary =
        (folder / ("." + target.filename().string() + ".partial-XXXXXX")).string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        throw Error(
            75, kSource,
            "The export file '" + sExportFile + "' cannot be created: " + std::strerror(errno));
    }
    close(fd);
    struct Cleanup {
        std::string path;
        ~Cleanup() {
            if (!path.empty()) {
                unlink(path.c_str());
            }
        }
    } cleanup{temporary};

    int code = 0;
    Archive archive(zip_open(temporary.c_str(), ZIP_TRUNCATE, &code));
    if (!archive) {
        throw Error(
            75, kSource,
            "The export file '" + sExportFile + "' cannot be created: " + ZipErrorText(code));
    }
    const auto fail = [&](const std::string& what) {
        throw Error(75, kSource,
                    "The export file '" + sExportFile + "' cannot be written: " + what + " (" +
                        zip_strerror(archive.get()) + ")");
    };
    zip_source_t* manifestSource =
        zip_source_buffer(archive.get(), manifestText.data(), manifestText.size(), 0);
    if (manifestSource == nullptr || zip_file_add(archive.get(), ExportManifest::kEntryName,
                                                  manifestSource, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(manifestSource);
        fail("the manifest");
    }
    for (const PartContent& content : contents) {
        const std::string base = std::string(ExportManifest::kPartsFolder) + content.name;
        if (zip_dir_add(archive.get(), base.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
            fail("the folder of '" + content.name + "'");
        }
        for (const PartContent::Entry& entry : content.entries) {
            const std::string name = base + "/" + entry.relative;
            zip_int64_t index = -1;
            if (entry.directory) {
                index = zip_dir_add(archive.get(), name.c_str(), ZIP_FL_ENC_UTF_8);
            } else {
                zip_source_t* source = zip_source_file(archive.get(), entry.source.c_str(), 0, -1);
                if (source == nullptr) {
                    fail("'" + entry.source + "'");
                }
                index = zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
                if (index < 0) {
                    zip_source_free(source);
                } else {
                    // libzip's default is level 9: much slower for a few per cent.
                    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                             ZIP_CM_DEFLATE, kCompressionLevel);
                }
            }
            if (index < 0) {
                fail("'" + entry.source + "'");
            }
            const uint32_t type = entry.directory ? S_IFDIR : S_IFREG;
            zip_file_set_external_attributes(archive.get(), static_cast<zip_uint64_t>(index), 0,
                                             ZIP_OPSYS_UNIX, (type | entry.mode) << 16);
        }
    }
    // zip_close reads the parts' files one after the other and streams them
    // into the archive.
    if (zip_close(archive.get()) != 0) {
        fail("writing failed");
    }
    archive.release();
    chmod(temporary.c_str(), 0644);
    if (rename(temporary.c_str(), finalPath.c_str()) != 0) {
        throw Error(
            75, kSource,
            "The export file '" + sExportFile + "' cannot be written: " + std::strerror(errno));
    }
    cleanup.path.clear();
}

void FileSystemExport::ExportLegacy(const std::string& sDirectory,
                                    const std::vector<const Part*>& colParts) {
    const std::vector<PartContent> contents = CollectAll(colParts, true, true, true);
    std::string directory(TrimRight(sDirectory, "/\\"));
    if (directory.empty()) {
        directory = "/";
    }
    std::vector<std::unique_ptr<StagedFolder>> staged;
    for (const PartContent& content : contents) {
        staged.push_back(std::make_unique<StagedFolder>(directory, content.name));
    }
    for (std::size_t p = 0; p < contents.size(); ++p) {
        const PartContent& content = contents[p];
        const std::string& root = staged[p]->Path();
        const std::string listName = content.name + LegacyList::kExtension;
        std::vector<std::string> folders;
        std::vector<std::string> files;
        for (const PartContent::Entry& entry : content.entries) {
            const std::string path = root + "/" + entry.relative;
            if (entry.directory) {
                MakeFolder(path, entry.mode | 0700u);
                folders.push_back(entry.relative);
            } else {
                if (entry.relative == listName) {
                    throw Error(58, kSource,
                                "The part '" + content.name + "' holds a file '" + listName +
                                    "', the name of its list file");
                }
                CopyRegularFile(entry.source, path, entry.mode);
                files.push_back(entry.relative);
            }
        }
        const std::string list = LegacyList::Write(content.name, folders, files);
        const std::string listPath = root + "/" + listName;
        const int fd = open(listPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const bool written =
            fd >= 0 && write(fd, list.data(), list.size()) == static_cast<ssize_t>(list.size());
        if (fd < 0 || close(fd) != 0 || !written) {
            throw Error(75, kSource, "The list file '" + listPath + "' cannot be written");
        }
    }
    StagedFolder::CommitAll(staged);
}

bool FileSystemExport::BrowseProjects(const std::string& sExportFile, std::string& sTitle,
                                      std::string& sUser, std::string& sDate,
                                      std::string& sComments, std::vector<std::string>& colParts) {
    std::string reason;
    const Archive archive = OpenArchive(sExportFile, reason);
    if (!archive) {
        return false;
    }
    const std::optional<ExportManifest> manifest = ReadManifest(archive.get(), reason);
    if (!manifest) {
        return false;
    }
    sTitle = manifest->title;
    sUser = manifest->user;
    sDate = manifest->date;
    sComments = manifest->comments;
    colParts.clear();
    for (const ExportManifest::PartEntry& part : manifest->parts) {
        colParts.push_back(part.name);
    }
    return true;
}

std::string ExportFileProblem(const std::string& sExportFile) {
    std::string reason;
    const Archive archive = OpenArchive(sExportFile, reason);
    if (archive && ReadManifest(archive.get(), reason)) {
        return {};
    }
    return reason;
}

void FileSystemExport::ImportProjects(const std::string& sExportFile,
                                      const std::vector<std::string>& colParts,
                                      const std::string& sTargetDirectory, bool bTemplate) {
    std::string reason;
    const Archive archive = OpenArchive(sExportFile, reason);
    if (!archive) {
        Damaged(sExportFile, reason);
    }
    const std::optional<ExportManifest> manifest = ReadManifest(archive.get(), reason);
    if (!manifest) {
        Damaged(sExportFile, reason);
    }
    std::set<std::string> wanted;
    for (const std::string& name : colParts) {
        if (manifest->Find(name) == nullptr) {
            throw Error(5, kSource, "'" + sExportFile + "' holds no part named '" + name + "'");
        }
        if (!wanted.insert(name).second) {
            throw Error(5, kSource, "The part '" + name + "' is asked for twice");
        }
    }
    const std::vector<ArchiveEntry> entries =
        Inventory(archive.get(), *manifest, sExportFile, limits_);
    if (wanted.empty()) {
        return;
    }
    const auto skipped = [&](const ArchiveEntry& entry) {
        return wanted.count(entry.part) == 0 ||
               (bTemplate && !entry.directory && IsProgram(entry.relative));
    };

    // Sizes are checked before anything is written.
    uint64_t total = 0;
    for (const ArchiveEntry& entry : entries) {
        if (!skipped(entry)) {
            total += entry.size;
            if (total > limits_.maxTotalBytes) {
                Damaged(sExportFile, "its parts declare more than " +
                                         std::to_string(limits_.maxTotalBytes) +
                                         " bytes, more than an import may write");
            }
        }
    }
    struct statvfs space {};
    if (statvfs(sTargetDirectory.c_str(), &space) != 0) {
        throw Error(76, kSource, "The folder '" + sTargetDirectory + "' does not exist");
    }
    const uint64_t available = static_cast<uint64_t>(space.f_bavail) * space.f_frsize;
    if (total + limits_.reserveBytes > available) {
        throw Error(61, kSource,
                    "The parts need " + std::to_string(total) + " bytes, but '" + sTargetDirectory +
                        "' has only " + std::to_string(available) + " bytes free");
    }

    std::map<std::string, std::unique_ptr<StagedFolder>> staged;
    std::vector<std::unique_ptr<StagedFolder>*> order;
    for (const std::string& name : colParts) {
        auto& folder = staged[name];
        folder = std::make_unique<StagedFolder>(sTargetDirectory, name);
        order.push_back(&folder);
    }
    for (const ArchiveEntry& entry : entries) {
        if (skipped(entry) || entry.relative.empty()) {
            continue;
        }
        const std::string& root = staged[entry.part]->Path();
        MakeFoldersBelow(root, entry.relative, entry.directory);
        if (!entry.directory) {
            Extract(archive.get(), entry, root + "/" + entry.relative, sExportFile);
        }
    }
    for (const std::string& name : colParts) {
        const StagedFolder& folder = *staged[name];
        const ExportManifest::PartEntry& part = *manifest->Find(name);
        const std::string information = folder.Path() + "/" + FileSystemPart::kInformationFile;
        if (!part.additional.empty()) {
            WriteInformation(information, "AdditionalFiles", "Count",
                             std::to_string(part.additional.size()));
            for (std::size_t i = 0; i < part.additional.size(); ++i) {
                WriteInformation(information, "AdditionalFiles", "File" + std::to_string(i + 1),
                                 folder.Final() + "/" + part.additional[i]);
            }
        }
        if (bTemplate) {
            WriteInformation(information, "Part", "WriteProtect", "false");
            WriteInformation(information, "Part", "SerialNumber", "");
            WriteInformation(information, "Part", "Template", "true");
        }
    }
    std::vector<std::unique_ptr<StagedFolder>> commit;
    for (auto* folder : order) {
        commit.push_back(std::move(*folder));
    }
    StagedFolder::CommitAll(commit);
}

}  // namespace vantreel
