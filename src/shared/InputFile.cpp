#include "shared/InputFile.h"

#include "shared/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantreel {

std::string SizeText(uint64_t bytes) {
    if (bytes >= kMiB && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MiB";
    }
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

InputFile OpenInputFile(const std::string& path, uint64_t maxBytes, RunTimeError number,
                        const std::string& source, uint64_t* size) {
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        throw MakeError(number, source,
                        "the file could not be opened (" + std::string(std::strerror(errno)) + ")");
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        throw MakeError(number, source,
                        "the file could not be opened (" + std::string(std::strerror(error)) + ")");
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        throw MakeError(
            number, source,
            "it is " + std::string(FileKindName(info.st_mode)) + ", not a regular file");
    }
    const uint64_t bytes = static_cast<uint64_t>(info.st_size);
    if (bytes > maxBytes) {
        close(fd);
        throw MakeError(number, source,
                        "it holds " + std::to_string(bytes) + " bytes, more than the " +
                            SizeText(maxBytes) + " such a file may hold");
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        throw MakeError(number, source,
                        "the file could not be opened (" + std::string(std::strerror(error)) + ")");
    }
    if (size != nullptr) {
        *size = bytes;
    }
    return InputFile(file);
}

std::string ReadInputFile(const std::string& path, uint64_t maxBytes, RunTimeError number,
                          const std::string& source) {
    uint64_t size = 0;
    InputFile file = OpenInputFile(path, maxBytes, number, source, &size);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    // A file that grew since it was measured is read up to the limit only.
    char extra[4096];
    while (!std::ferror(file.get()) && !std::feof(file.get())) {
        const std::size_t more = std::fread(extra, 1, sizeof extra, file.get());
        if (bytes.size() + more > maxBytes) {
            throw MakeError(number, source,
                            "it grows past the " + SizeText(maxBytes) + " such a file may hold");
        }
        bytes.append(extra, more);
    }
    if (std::ferror(file.get())) {
        throw MakeError(number, source,
                        "the file could not be read (" + std::string(std::strerror(EIO)) + ")");
    }
    return bytes;
}

}  // namespace vantreel
