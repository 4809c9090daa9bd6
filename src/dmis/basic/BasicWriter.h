#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vantreel {

class CComments;
class CExpression;
class CProgram;
class CStatement;
class CStatements;
class OutputBuffer;

// Writes a program model as the two Basic modules the measuring applications
// run: "modMain" with Sub Main() and the translated statements, and the
// support module with the macros as Sub procedures. Lines end with CR LF.
//
// The statements are first written to a scratch file "ScrFile_<date><time>.tmp"
// in the current directory, which is removed when writing ends, also after
// an error.
// Writes program as DIRECTORY/ModMain.bas and DIRECTORY/ModSupport.bas, each
// beside its place and renamed when complete, so that a failure leaves no
// partly written module. Raises vantreel::Error.
void WriteBasicModules(CProgram& program, const std::string& directory);

// The words generated Basic keeps as identifiers although they are minor
// words: names declared by DECL and DO loop variables anywhere in the program,
// and the parameters of the macro being written.
class VariableNames {
  public:
    // The declared names and loop variables of a whole program.
    static VariableNames Of(CProgram& program);

    void Add(std::string name) { program_.insert(std::move(name)); }
    // The parameters of statement (a MACRO) hold until LeaveMacro.
    void EnterMacro(const CStatement& macro);
    void LeaveMacro() { macro_.clear(); }
    bool Contains(std::string_view name) const {
        return (!program_.empty() && program_.find(name) != program_.end()) ||
               (!macro_.empty() && macro_.find(name) != macro_.end());
    }

  private:
    // Looked up by any text, without a string made for the look-up.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };
    using Names = std::unordered_set<std::string, Hash, std::equal_to<>>;

    Names program_;
    Names macro_;
};

class BasicWriter {
  public:
    BasicWriter(std::ostream& modMain, std::ostream& modSupport);

    void WriteProgram(CProgram& program);
    void WriteStatements(CStatements& statements, int32_t offset);
    // The comments up to line lastLine (all that are left when allAfter).
    void WriteComments(int32_t lastLine, int32_t offset, bool allAfter);

    // The Basic line of one statement, and the Basic text of one expression
    // (which writes minor words back into the node's value as quoted text).
    // Words in variables are written as identifiers.
    static std::string StatementLine(CStatement& statement,
                                     const VariableNames* variables = nullptr);
    static std::string ExpressionText(CExpression& node, const VariableNames* variables = nullptr);
    // The same texts appended to out.
    static void AppendStatementLine(std::string& out, CStatement& statement,
                                    const VariableNames* variables = nullptr);
    static void AppendExpressionText(std::string& out, CExpression& node,
                                     const VariableNames* variables = nullptr);

  private:
    // Where lines go now: the support module in a macro, else the scratch file.
    OutputBuffer& Target();
    // A line of offset blanks, text and more.
    void WriteLine(int32_t offset, std::string_view text, std::string_view more = {});
    void WriteStatementLine(int32_t offset, CStatement& statement);
    void WriteClosingLine(int32_t offset, std::string_view type);

    std::ostream& modMain_;
    std::ostream& modSupport_;
    // While statements are written: the text for the scratch file and for
    // the support module.
    OutputBuffer* body_ = nullptr;
    OutputBuffer* support_ = nullptr;
    CComments* comments_ = nullptr;
    int32_t nextComment_ = 1;  // position of the first comment not yet placed
    int32_t lineNo_ = 1;       // the source line the statements have reached
    bool inMacro_ = false;
    std::vector<std::string>* declarations_ = nullptr;
    VariableNames variables_;
};

}  // namespace vantreel
