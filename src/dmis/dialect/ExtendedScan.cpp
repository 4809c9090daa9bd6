#include "dmis/dialect/ExtendedScan.h"

#include "dmis/dialect/ExtendedLines.h"
#include "dmis/scan/Scanner.h"
#include "shared/InputFile.h"
#include "vantreel/Error.h"

#include <new>

namespace vantreel {

bool ScanExtendedText(Scanner& scanner, std::string_view text, const std::string& name,
                      CProgram& program, DialectWarnings& warnings) {
    try {
        const ExtendedLines lines(text, warnings);
        scanner.SetLettersBeyondAscii(true);
        return scanner.ScanLines(lines, program, name);
    } catch (const Error& error) {
        scanner.SetLastError("ParseFile error on '" + name + "', " + error.Description());
    } catch (const std::bad_alloc&) {
        scanner.SetLastError("ParseFile error on '" + name + "', not enough memory for its lines");
    }
    return false;
}

namespace {

// The whole file at path into text; false, with the scanner's LastError set,
// when it cannot be read.
bool ReadDmisText(Scanner& scanner, const std::string& path, std::string& text) {
    try {
        text = ReadInputFile(path, kMaxDmisFileBytes, RunTimeError::PathFileAccessError, "Scanner");
        return true;
    } catch (const Error& error) {
        scanner.SetLastError("ParseFile error on '" + path + "', " + error.Description());
    } catch (const std::bad_alloc&) {
        scanner.SetLastError("ParseFile error on '" + path + "', not enough memory to read it");
    }
    return false;
}

}  // namespace

bool ScanExtendedFile(Scanner& scanner, const std::string& path, CProgram& program,
                      DialectWarnings& warnings) {
    std::string text;
    return ReadDmisText(scanner, path, text) &&
           ScanExtendedText(scanner, text, path, program, warnings);
}

bool OpenExtendedFile(Scanner& scanner, const std::string& path, CProgram& program,
                      DialectWarnings& warnings) {
    std::string text;
    if (!ReadDmisText(scanner, path, text)) {
        return false;
    }
    try {
        scanner.OpenExtendedText(std::move(text), program, path, warnings);
        scanner.SetLettersBeyondAscii(true);
        return true;
    } catch (const Error& error) {
        scanner.SetLastError("ParseFile error on '" + path + "', " + error.Description());
    } catch (const std::bad_alloc&) {
        scanner.SetLastError("ParseFile error on '" + path + "', not enough memory for its lines");
    }
    return false;
}

}  // namespace vantreel
