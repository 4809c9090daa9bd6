#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace vantreel {

class CComments;
class Scanner;

// The data of one token as text: words, strings and error messages as stored,
// integers in decimal, reals as Visual Basic prints them, a colon number as its
// four elements joined by ","; empty for kinds without data.
std::string TokenDataText(const Scanner& scanner, int32_t position);

// Writes one line per token, "LINE<TAB>KIND<TAB>DATA" (no tab and no data for
// kinds without data), then one line per comment, "LINE<TAB>comment<TAB>TEXT".
void WriteTokenDump(const Scanner& scanner, const CComments* comments, std::ostream& out);

}  // namespace vantreel
