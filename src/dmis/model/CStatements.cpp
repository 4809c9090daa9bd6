#include "dmis/model/CStatements.h"

#include "dmis/model/CStatement.h"
#include "dmis/model/ModelTeardown.h"
#include "dmis/model/OutputBuffer.h"

#include <ostream>
#include <string_view>

namespace vantreel {
namespace {

std::vector<Variant>& NextVariableStack() {
    thread_local std::vector<Variant> stack;
    return stack;
}

void WriteLine(OutputBuffer& out, int32_t offset, std::string_view text) {
    out.Indent(offset);
    out.Text() += text;
    out.Text() += '\n';
    out.FlushIfFull();
}

// The line of a statement. A statement that cannot be printed leaves no part
// of its line behind.
void WriteLine(OutputBuffer& out, int32_t offset, const CStatement& statement) {
    std::string& text = out.Text();
    const std::size_t start = text.size();
    out.Indent(offset);
    try {
        statement.AppendString(text);
    } catch (...) {
        text.resize(start);
        throw;
    }
    text += '\n';
    out.FlushIfFull();
}

// The line that closes a block inside the block's owner.
std::string_view InnerClosingWord(std::string_view type) {
    if (type == "GOTARG")
        return "ENDGO";
    if (type == "MEAS" || type == "RMEAS" || type == "CALIB")
        return "ENDMES";
    if (type == "MACRO")
        return "ENDMAC";
    if (type == "CASE" || type == "DFTCAS")
        return "ENDCASE";
    if (type == "DO")
        return "ENDDO";
    return {};
}

// The line that closes a block after the block's own statements.
std::string_view OuterClosingWord(std::string_view type) {
    if (type == "CALIB" || type == "MEAS" || type == "RMEAS")
        return "ENDMES";
    if (type == "DO")
        return "ENDDO";
    if (type == "GOTARG")
        return "ENDGO";
    if (type == "MACRO")
        return "ENDMAC";
    if (type == "SELECT")
        return "ENDSELECT";
    return {};
}

}  // namespace

CStatements::CStatements() = default;

static_assert(sizeof(CStatements) <= 48);
CStatements::~CStatements() = default;

CStatement& CStatements::AddStatement(std::unique_ptr<CStatement> objStatement) {
    return statements_.Add(std::move(objStatement));
}

std::unique_ptr<CStatement> CStatements::TakeLast() {
    return statements_.TakeLast();
}

void CStatements::RemoveAllFromCol(const ProgressCallback& progress) {
    // One statement at a time: the work list holds one subtree, never the
    // whole list.
    ModelTeardown teardown(progress);
    while (std::unique_ptr<CStatement> statement = statements_.TakeLast()) {
        teardown.Add(std::move(statement));
        teardown.Run();
    }
}

void CStatements::Terminate(const ProgressCallback& progress) {
    RemoveAllFromCol(progress);
    colDecls.reset();
}

void CStatements::PrettyPrint(std::ostream& file, int32_t iOffset) const {
    OutputBuffer out(file);
    PrettyPrint(out, iOffset);
    out.Flush();
}

void CStatements::PrettyPrint(OutputBuffer& file, int32_t iOffset) const {
    for (const CStatement& statement : *this) {
        WriteLine(file, iOffset, statement);
        const bool isIf = statement.StatementType() == "IF";
        if (statement.objStatements) {
            const CStatements& block = *statement.objStatements;
            for (const CStatement& child : block) {
                const std::string_view childType = child.StatementType();
                if (childType == "ElseBlock") {
                    WriteLine(file, iOffset, "Else");
                } else if (childType != "IfBlock") {
                    WriteLine(file, iOffset + 4, child);
                }
                if (child.objStatements) {
                    child.objStatements->PrettyPrint(file, iOffset + (isIf ? 4 : 8));
                }
                if (const std::string_view closing = InnerClosingWord(childType);
                    !closing.empty()) {
                    WriteLine(file, iOffset + 4, closing);
                }
            }
            if (isIf && block.Count() > 0) {
                WriteLine(file, iOffset, "ENDIF");
            }
        }
        if (const std::string_view closing = OuterClosingWord(statement.StatementType());
            !closing.empty()) {
            WriteLine(file, iOffset, closing);
        }
    }
}

void CStatements::SetNextVariable(Variant value) {
    NextVariableStack().push_back(std::move(value));
}

Variant CStatements::NextVariable() {
    std::vector<Variant>& stack = NextVariableStack();
    if (stack.empty()) {
        return Variant();
    }
    Variant top = std::move(stack.back());
    stack.pop_back();
    return top;
}

}  // namespace vantreel
