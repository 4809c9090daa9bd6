#pragma once

#include "shared/RegistryStore.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantreel {

// .reg files, as regedit reads and writes them, for the station's registry.
//
// Import reads "Windows Registry Editor Version 5.00" files in UTF-16LE with a
// byte order mark (as regedit writes them) or in UTF-8 with or without one,
// and "REGEDIT4" files, whose bytes are Windows-1252 text. Lines end in CRLF
// or LF. A file holds [HKEY_LOCAL_MACHINE\...] and [HKEY_CLASSES_ROOT\...]
// sections (created as needed), [-...] sections that delete a key with
// everything below it, and below a section "name"=... or @=... lines:
// "text" (escapes \\ and \"), dword:1f, hex:01,02 (REG_BINARY), hex(N):...
// (type N), or - to delete the value. Hex lists continue on the next line
// after a trailing backslash. Blank lines and lines starting with ';' are
// skipped. hex(1), hex(2) and hex(7) data hold UTF-16LE text (Windows-1252 in
// REGEDIT4 files) and are stored as UTF-8, as every string type is here.
//
// The whole file is read and checked before anything is written; then it is
// imported in one transaction. A malformed file raises Error 5004 naming the
// file and the line, and imports nothing.
//
// Export writes a key with everything below it in regedit's format: UTF-16LE
// with a byte order mark, CRLF, one block per key followed by a blank line,
// keys and values in creation order, and long hex lists wrapped at 80 columns
// with ",\" and a two-space indent. REG_SZ text that ends in one NUL and
// holds no other NUL, CR or LF is written as "text", other REG_SZ data as
// hex(1); REG_DWORD data of four bytes as dword:. A key or value that cannot
// be written (a name with a line break, text that is not UTF-8) raises Error
// 5005 and leaves the target file as it was.
class RegFile {
  public:
    RegFile();
    explicit RegFile(std::shared_ptr<RegistryStore> store);

    // Imports the .reg file at path.
    void Import(const std::string& path);
    // Imports the bytes of a .reg file; name stands for the file in messages.
    void ImportBytes(std::string_view bytes, const std::string& name);

    // The .reg file of key and everything below it, as bytes.
    std::string ExportBytes(RegKeyId key);
    // Writes ExportBytes(key) to path through a temporary file renamed over
    // it, so a failure leaves no partly written file.
    void Export(RegKeyId key, const std::string& path);

    // The full path of key, such as "HKEY_LOCAL_MACHINE\SOFTWARE\Korvessa".
    std::string KeyPath(RegKeyId key);

  private:
    std::shared_ptr<RegistryStore> store_;
};

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text) noexcept;

}  // namespace vantreel
