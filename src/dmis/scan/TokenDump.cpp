#include "dmis/scan/TokenDump.h"

#include "dmis/model/CComments.h"
#include "dmis/scan/Scanner.h"

#include <ostream>

namespace vantreel {

std::string TokenDataText(const Scanner& scanner, int32_t position) {
    const Variant data = scanner.TokenDataAt(position);
    if (!data.IsArray()) {
        return data.ToText();
    }
    std::string text;
    bool first = true;
    for (const Variant& element : data.Array().Elements()) {
        if (!first) {
            text += ',';
        }
        first = false;
        text += element.ToText();
    }
    return text;
}

void WriteTokenDump(const Scanner& scanner, const CComments* comments, std::ostream& out) {
    std::string line;
    for (int32_t position = 1; position <= scanner.TokenCount(); ++position) {
        line = std::to_string(scanner.TokenLineAt(position));
        line += '\t';
        line += TokenKindName(scanner.TokenKindAt(position));
        const std::string data = TokenDataText(scanner, position);
        if (!data.empty()) {
            line += '\t';
            line += data;
        }
        line += '\n';
        out << line;
    }
    if (comments != nullptr) {
        for (const CComment& comment : *comments) {
            out << comment.LineNumber() << "\tcomment\t" << comment.Comment() << '\n';
        }
    }
}

}  // namespace vantreel
