#pragma once

#include "shared/RegistryStore.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// .reg files, as regedit reads and writes them, for the station's registry.
//
// Import reads "Windows Registry Editor Version 5.00" files in UTF-16LE with a
// byte order mark (as regedit writes them) or in UTF-8 with or without one,
// and "REGEDIT4" files, whose bytes are Windows-1252 text. Lines end in CRLF
// or LF. A file holds [HKEY_LOCAL_MACHINE\...] and [HKEY_CLASSES_ROOT\...]
// sections (or HKLM, HKCR; created as needed), [-...] sections that delete a
// key with everything below it, and below a section "name"=... or @=...
// lines: "text" (escapes \\ and \"; a backslash before any other character
// stands as written), dword:1f, hex:01,02 (REG_BINARY), hex(N):... (type N),
// or - to delete the value. Hex lists continue on the next line after a
// trailing backslash; comment lines may stand between, a blank line ends the
// list. Blank lines and lines starting with ';' are skipped. hex(1), hex(2)
// and hex(7) data hold UTF-16LE text (Windows-1252 in REGEDIT4 files) and are
// stored as UTF-8, as every string type is here. Sections of a hive this
// registry does not keep (HKEY_CURRENT_USER, HKEY_USERS, ...) are read,
// checked and left out, each with a warning naming its line.
//
// The whole file is read and checked before anything is written; then it is
// imported in one transaction. A malformed file raises Error 5004 naming the
// file and the line, and imports nothing.
//
// Export writes a key with everything below it in regedit's format: UTF-16LE
// with a byte order mark, CRLF, one block per key followed by a blank line,
// subkeys in the registry's order and values in creation order, and long hex
// lists wrapped at 80 columns with ",\" and a two-space indent. REG_SZ text
// that ends in one NUL and holds no other NUL, CR or LF is written as "text",
// other REG_SZ data as hex(1); REG_DWORD data of four bytes as dword:. A key
// or value that cannot be written (a name with a line break, text that is not
// UTF-8) raises Error 5005 and leaves the target file as it was.
class RegFile {
  public:
    RegFile();
    explicit RegFile(std::shared_ptr<RegistryStore> store);

    // Imports the .reg file at path.
    void Import(const std::string& path);
    // Imports the bytes of a .reg file; name stands for the file in messages.
    void ImportBytes(std::string_view bytes, const std::string& name);
    // What the last import read but left out ("file, line N: [key] is
    // skipped: ..."), one line per section of a hive that is not kept.
    const std::vector<std::string>& Warnings() const noexcept { return warnings_; }

    // The .reg file of key and everything below it, as bytes. Keys below
    // HKEY_CLASSES_ROOT are named by that hive when hive is ClassesRoot, else
    // by their place below HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    std::string ExportBytes(RegKeyId key, RegHive hive = RegHive::LocalMachine);
    // Writes ExportBytes(key) to path through a temporary file renamed over
    // it, so a failure leaves no partly written file.
    void Export(RegKeyId key, const std::string& path, RegHive hive = RegHive::LocalMachine);

    // The full path of key, such as "HKEY_LOCAL_MACHINE\SOFTWARE\Korvessa".
    std::string KeyPath(RegKeyId key, RegHive hive = RegHive::LocalMachine);

  private:
    std::shared_ptr<RegistryStore> store_;
    std::vector<std::string> warnings_;
};

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text) noexcept;
// UTF-8 text as UTF-16LE bytes, the form Windows stores text in; "" for text
// that is not UTF-8.
std::string EncodeUtf16Le(std::string_view text);

}  // namespace vantreel
