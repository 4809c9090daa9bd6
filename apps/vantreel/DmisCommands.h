#pragma once

#include "dmis/dialect/DmisDialect.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vantreel::cli {

// vantreel dmis tokens FILE: the token dump of FILE on out; the scan failure,
// if any, on err. Returns the exit status.
int RunTokens(const std::string& path, std::ostream& out, std::ostream& err,
              DmisDialect dialect = DmisDialect::Strict);

// vantreel dmis list FILE: the DMIS listing of the parsed program, or the
// error on err (exit 1). With the extended dialect, every verb that parses
// lists its warnings on err first, one "LINE<TAB>ID<TAB>text" line each.
int RunList(const std::string& path, std::ostream& out, std::ostream& err,
            DmisDialect dialect = DmisDialect::Strict);

// vantreel dmis check FILE...: one line per file, OK ("OK, N warnings" with
// the extended dialect's warnings) or the first error; exit 1 when any file
// fails. listWarnings lists each warning below its file's line.
int RunCheck(const std::vector<std::string>& paths, std::ostream& out,
             DmisDialect dialect = DmisDialect::Strict, bool listWarnings = false);

// vantreel dmis bas FILE --out DIR: DIR/ModMain.bas and DIR/ModSupport.bas,
// or the error on err (exit 1) and no file at all.
int RunBas(const std::string& path, const std::string& directory, std::ostream& err,
           DmisDialect dialect = DmisDialect::Strict);

// vantreel dmis save FILE MODEL: the parsed program as a model stream.
int RunSave(const std::string& path, const std::string& model, std::ostream& err,
            DmisDialect dialect = DmisDialect::Strict);

// vantreel dmis load MODEL: the listing of a saved model.
int RunLoad(const std::string& model, std::ostream& out, std::ostream& err);

// vantreel demo FILE: the first tokens of FILE and a count by kind, the
// comment lines the scan put into the program model, and the listing.
int RunDemo(const std::string& path, std::ostream& out, std::ostream& err,
            DmisDialect dialect = DmisDialect::Strict);

}  // namespace vantreel::cli
