#pragma once

#include "dmis/dialect/DialectWarnings.h"

#include <string>
#include <string_view>

namespace vantreel {

class CProgram;
class Scanner;

// Scans the DMIS file at path (or text in memory, name standing for the path)
// by the extended dialect: lines prepared by ExtendedLines, letters beyond
// ASCII in names. False after a failure, with the scanner's LastError set in
// the form ScanFile gives it.
bool ScanExtendedFile(Scanner& scanner, const std::string& path, CProgram& program,
                      DialectWarnings& warnings);

// Opens the DMIS file at path by the extended dialect for scanning as the
// cursor reaches its tokens (Scanner::OpenFile); the lines are prepared, and
// their warnings given, here. False, with LastError set as above, when the
// file cannot be read or its lines prepared.
bool OpenExtendedFile(Scanner& scanner, const std::string& path, CProgram& program,
                      DialectWarnings& warnings);
bool ScanExtendedText(Scanner& scanner, std::string_view text, const std::string& name,
                      CProgram& program, DialectWarnings& warnings);

}  // namespace vantreel
