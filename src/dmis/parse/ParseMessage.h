#pragma once

#include <cstdint>
#include <string>

namespace vantreel {

// String IDs of the parsers' messages, from ParseMessageIds.def.
enum ParseMessageId : int32_t {
#define PARSE_MESSAGE(name, id) name = id,
#include "dmis/parse/ParseMessageIds.def"
#undef PARSE_MESSAGE
};

// A parse message, kept as its parts and put into words only when read: the
// parsers record one at almost every backtracking step and read almost none.
struct ParseMessage {
    enum class Shape : uint8_t {
        Text,      // extra is the whole message (often empty)
        Wrapped,   // 167024 with the detail "text of id" + extra, then 167033 with the line
        Plain,     // text of id, then 167033 with the line
        Operator,  // 167050 with the operator text in extra, then 167033 with the line
        Lined,     // extra, two blanks, then 167033 with the line
    };

    Shape shape = Shape::Text;
    int32_t id = 0;
    std::string extra;
    int32_t line = 0;

    static ParseMessage Of(std::string text) { return {Shape::Text, 0, std::move(text), 0}; }

    // The message in the current language.
    std::string Format() const;
};

}  // namespace vantreel
