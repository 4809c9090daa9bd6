#pragma once

#include "shared/RunTimeError.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vantreel {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// Size limits of the files the library reads. A file is read only when it is
// a regular file no larger than its limit, so that a FIFO, a device or an
// endless file can neither block a reader nor exhaust its memory.
inline constexpr uint64_t kMiB = 1024 * 1024;
inline constexpr uint64_t kMaxDmisFileBytes = 256 * kMiB;      // DMIS part programs
inline constexpr uint64_t kMaxModelStreamBytes = 1024 * kMiB;  // model streams
inline constexpr uint64_t kMaxRegFileBytes = 64 * kMiB;        // .reg files
inline constexpr uint64_t kMaxIniFileBytes = 16 * kMiB;        // profile (INI) files
inline constexpr uint64_t kMaxStringTableBytes = 16 * kMiB;    // string tables (.rc)

// Opens path for reading. Raises number from source when path does not name
// a readable regular file of at most maxBytes; the description is a phrase
// without the path: "it is a FIFO, not a regular file", "it holds 300 MiB
// (314572800 bytes), more than the 256 MiB a DMIS file may hold",
// "the file could not be opened (No such file or directory)". Opening never
// blocks, whatever stands at the path.
InputFile OpenInputFile(const std::string& path, uint64_t maxBytes, RunTimeError number,
                        const std::string& source, uint64_t* size = nullptr);

// The whole file, with the same checks.
std::string ReadInputFile(const std::string& path, uint64_t maxBytes, RunTimeError number,
                          const std::string& source);

// "256 MiB", "12 bytes": a size for messages.
std::string SizeText(uint64_t bytes);

}  // namespace vantreel
