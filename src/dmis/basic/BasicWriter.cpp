#include "dmis/basic/BasicWriter.h"

#include "dmis/basic/BasicWords.h"
#include "dmis/model/CComments.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "shared/AtomicFile.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

namespace vantreel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The scratch file of one WriteProgram call, removed with the object.
class ScratchFile {
  public:
    ScratchFile() {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
        // Two conversions in the same second get names of their own.
        for (int attempt = 0; attempt < 1000; ++attempt) {
            path_ = std::string("ScrFile_") + stamp +
                    (attempt == 0 ? "" : "_" + std::to_string(attempt)) + ".tmp";
            const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                close(fd);
                out_.open(path_, std::ios::binary | std::ios::trunc);
                if (out_) {
                    return;
                }
                break;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        const std::string reason = std::strerror(errno);
        path_.clear();
        throw MakeError(
            RunTimeError::PathFileAccessError, "CProgram.WriteToBas",
            "the scratch file cannot be created in the current directory (" + reason + ")");
    }
    ~ScratchFile() {
        out_.close();
        if (!path_.empty()) {
            std::remove(path_.c_str());
        }
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::ostream& Out() { return out_; }

    // Closes the file and copies what was written to out, piece by piece.
    void CopyTo(std::ostream& out) {
        errno = 0;
        out_.close();
        if (!out_) {
            const std::string reason = errno != 0 ? std::strerror(errno) : "a write failed";
            throw MakeError(RunTimeError::PathFileAccessError, "CProgram.WriteToBas",
                            "the scratch file cannot be written (" + reason + ")");
        }
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> piece(1 << 16);
        while (in) {
            in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
            out.write(piece.data(), in.gcount());
        }
        if (!in.eof()) {
            throw MakeError(RunTimeError::PathFileAccessError, "CProgram.WriteToBas",
                            "the scratch file cannot be read back");
        }
    }

  private:
    std::string path_;
    std::ofstream out_;
};

void Line(std::ostream& out, std::string_view text) {
    out << text << kLineEnd;
}

// The name an identifier position needs: a word's text as written, else the
// DMIS text of the node.
std::string Identifier(const CExpression& node) {
    return node.ExpressionType() == ekWord || node.ExpressionType() == ekAssignTarget
               ? node.Value().ToText()
               : node.BuildString();
}

// The label name of M(NAME), or the DMIS text of any other node.
std::string LabelName(const CExpression& node) {
    if (node.ExpressionType() == ekLabelRef) {
        return node.Value().Array()[2].ToText();
    }
    return Identifier(node);
}

// The name of a jump label: JUMPTO/(NAME) names NAME.
std::string JumpName(const CExpression& node) {
    if (node.ExpressionType() == ekParenthesized && node.Value().Object() != nullptr) {
        return Identifier(*node.Value().Object());
    }
    return Identifier(node);
}

// -"XDIR" and friends: the minus goes inside the quotes.
std::string MoveMinusInside(std::string text) {
    if (text.size() < 7 || text.back() != '"' || text.find("-\"") == std::string::npos) {
        return text;
    }
    for (const char* word : {"XDIR", "YDIR", "ZDIR", "PRBRAD"}) {
        const std::string outside = std::string("-\"") + word + "\"";
        if (text.ends_with(outside)) {
            text.replace(text.size() - outside.size(), outside.size(),
                         std::string("\"-") + word + "\"");
        }
    }
    return text;
}

std::vector<std::string> BasicParameters(CStatement& statement, const VariableNames* variables,
                                         int32_t first = 1) {
    std::vector<std::string> texts;
    CExpressions& parameters = *statement.objExpressions;
    for (int32_t i = first; i <= parameters.Count(); ++i) {
        texts.push_back(
            MoveMinusInside(BasicWriter::ExpressionText(parameters.Item(i), variables)));
    }
    return texts;
}

// The Basic texts of the parameters from first on, joined by ", ".
std::string JoinedParameters(CStatement& statement, const VariableNames* variables,
                             int32_t first = 1) {
    std::string joined;
    CExpressions& parameters = *statement.objExpressions;
    for (int32_t i = first; i <= parameters.Count(); ++i) {
        if (i > first) {
            joined += ", ";
        }
        joined += MoveMinusInside(BasicWriter::ExpressionText(parameters.Item(i), variables));
    }
    return joined;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            joined += separator;
        }
        joined += parts[i];
    }
    return joined;
}

std::string BasicType(std::string_view dmisType) {
    if (dmisType == "BOOL")
        return "Boolean";
    if (dmisType == "INTGR")
        return "Integer";
    if (dmisType == "LONG")
        return "Long";
    if (dmisType == "REAL")
        return "Single";
    if (dmisType == "DOUBLE")
        return "Double";
    if (dmisType == "CHAR")
        return "String";
    return std::string(dmisType);  // a type the table does not know is written as it is
}

std::string DeclarationLine(CStatement& statement) {
    CExpressions& parameters = *statement.objExpressions;
    int32_t index = 1;
    std::string keyword = "Public";
    if (parameters.Count() >= 1) {
        const std::string scope = Identifier(parameters.Item(1));
        if (scope == "COMMON" || scope == "GLOBAL" || scope == "LOCAL") {
            keyword = scope == "LOCAL" ? "Dim" : "Public";
            index = 2;
        }
    }
    std::string type;
    if (index <= parameters.Count()) {
        const std::string dmisType = Identifier(parameters.Item(index++));
        type = BasicType(dmisType);
        if (dmisType == "CHAR" && index <= parameters.Count() &&
            parameters.Item(index).ExpressionType() == ekInteger) {
            type += " * " + parameters.Item(index++).Value().ToText();
        }
    }
    std::vector<std::string> names;
    for (; index <= parameters.Count(); ++index) {
        names.push_back(Identifier(parameters.Item(index)) + " As " + type);
    }
    return keyword + " " + Join(names, ",");
}

// The closing line of a block, written at the indent of its opener.
std::string ClosingLine(std::string_view type) {
    if (type == "ENDIF")
        return "End If";
    if (type == "ENDSEL")
        return "End Select";
    if (type == "ENDDO")
        return "Next " + CStatements::NextVariable().ToText();
    return "Dms" + std::string(type);  // ENDMES, ENDGO
}

bool IsClosing(std::string_view type) {
    return type == "ENDIF" || type == "ENDSEL" || type == "ENDDO" || type == "ENDMES" ||
           type == "ENDGO";
}

// Basic text of an expression, written without recursion like BuildString.
// A word in variables is a Basic identifier even when it is a minor word.
class BasicPrinter {
  public:
    explicit BasicPrinter(const VariableNames* variables) : variables_(variables) {}

    std::string Print(CExpression& root) {
        // Most parameters are a word or a (wrapped) number: no work list for them.
        CExpression* node = &root;
        while (node->ExpressionType() == ekWrapped && node->Value().Object() != nullptr) {
            node = node->Value().Object();
        }
        if (IsPlainKind(node->ExpressionType())) {
            return PlainText(*node);
        }
        pending_.push_back({node, {}});
        while (!pending_.empty()) {
            const Piece piece = pending_.back();
            pending_.pop_back();
            if (piece.node != nullptr) {
                Expand(*piece.node);
            } else {
                out_ += piece.text;
            }
        }
        return std::move(out_);
    }

  private:
    struct Piece {
        CExpression* node;
        std::string text;
    };

    void Push(std::string text) { pending_.push_back({nullptr, std::move(text)}); }

    // Kinds written as their plain value.
    static bool IsPlainKind(int32_t kind) {
        if (IsBinaryKind(kind)) {
            return false;
        }
        switch (kind) {
            case ekNegate:
            case ekNot:
            case ekParenthesized:
            case ekWrapped:
            case ekTrue:
            case ekFalse:
            case ekLabelRef:
            case ekDatumRef:
            case ekIndexedName:
            case ekFunctionCall:
            case ekColonNumber:
                return false;
            default:
                return true;
        }
    }

    void PushElement(const Variant& element) {
        if (CExpression* child = element.Object()) {
            pending_.push_back({child, {}});
        } else {
            Push(element.ToText());
        }
    }

    void Expand(CExpression& node) {
        Variant& value = node.Value();
        const int32_t kind = node.ExpressionType();
        if (IsBinaryKind(kind)) {
            const VariantArray& operands = value.Array();
            PushElement(operands[2]);
            Push(std::string(BasicOperator(kind)));
            PushElement(operands[1]);
            return;
        }
        switch (kind) {
            case ekNegate:
                PushElement(value);
                Push("-");
                return;
            case ekNot:
                PushElement(value);
                Push("Not ");
                return;
            case ekParenthesized:
                Push(")");
                PushElement(value);
                Push("(");
                return;
            case ekWrapped:
                PushElement(value);
                return;
            case ekTrue:
                out_ += "True";
                return;
            case ekFalse:
                out_ += "False";
                return;
            case ekLabelRef: {
                const VariantArray& parts = value.Array();
                std::string text = "Dms" + parts[1].ToText() + "(\"" + parts[2].ToText() + "\"";
                if (node.OutPutPoints().IsArray()) {
                    for (const Variant& point : node.OutPutPoints().Array().Elements()) {
                        text += "," + point.ToText();
                    }
                }
                out_ += text + ")";
                return;
            }
            case ekDatumRef:
            case ekIndexedName: {
                const VariantArray& parts = value.Array();
                const int32_t count = parts[2].WholeNumber();
                std::string text = "Dms" + parts[1].ToText() + "(\"" + parts[3].ToText();
                if (count >= 2) {
                    text += (kind == ekDatumRef ? "-" : ",") + parts[4].ToText();
                }
                out_ += text + "\")";
                return;
            }
            case ekFunctionCall: {
                const VariantArray& parts = value.Array();
                const std::string name = parts[1].ToText();
                const int32_t count = parts[2].WholeNumber();
                Push(")");
                for (int32_t i = count; i >= 1; --i) {
                    PushElement(parts[2 + i]);
                    if (i > 1) {
                        Push(",");
                    }
                }
                Push((IsDmisFunction(name) ? "Dms" : "") + name + "(");
                return;
            }
            case ekColonNumber: {
                const VariantArray& parts = value.Array();
                out_ += "\"" + parts[2].ToText() + ":" + parts[3].ToText() + ":" +
                        parts[4].ToText() + "\"";
                return;
            }
            default:
                out_ += PlainText(node);
                return;
        }
    }

    // A plain value: numbers as text; a minor word becomes a quoted string
    // (kept in the node); runs of single quotes shrink to one.
    std::string PlainText(CExpression& node) const {
        Variant& value = node.Value();
        if (value.Type() != VariantType::String) {
            return value.ToText();
        }
        if (node.ExpressionType() == ekWord && variables_ != nullptr &&
            variables_->Contains(std::string(value.String()))) {
            return std::string(value.String());
        }
        if (IsDmisMinorWord(value.String())) {
            node.SetValue(Variant::FromString("\"" + std::string(value.String()) + "\""));
        }
        const std::string_view text = node.Value().String();
        std::string reduced;
        reduced.reserve(text.size());
        for (const char c : text) {
            if (c != '\'' || reduced.empty() || reduced.back() != '\'') {
                reduced += c;
            }
        }
        return reduced;
    }

    const VariableNames* variables_;
    std::vector<Piece> pending_;
    std::string out_;
};

}  // namespace

namespace {

// The name a DECL or DO parameter introduces.
std::string IntroducedName(const CExpression& node) {
    switch (node.ExpressionType()) {
        case ekWord:
        case ekAssignTarget:
            return node.Value().ToText();
        case ekIndexedName:
            return node.Value().Array()[1].ToText();
        default:
            return node.BuildString();
    }
}

}  // namespace

VariableNames VariableNames::Of(CProgram& program) {
    VariableNames names;
    if (!program.objStatements) {
        return names;
    }
    // Blocks nest as deep as the parser allows: walked with a stack of its own.
    std::vector<CStatements*> pending{program.objStatements.get()};
    while (!pending.empty()) {
        CStatements* statements = pending.back();
        pending.pop_back();
        for (CStatement& statement : *statements) {
            const CExpressions& parameters = *statement.objExpressions;
            const std::string_view type = statement.StatementType();
            if (type == "DO" && parameters.Count() > 0) {
                names.Add(IntroducedName(parameters.Item(1)));
            } else if (type == "DECL") {
                int32_t index = 1;
                if (parameters.Count() >= 1) {
                    const std::string scope = IntroducedName(parameters.Item(1));
                    if (scope == "COMMON" || scope == "GLOBAL" || scope == "LOCAL") {
                        index = 2;
                    }
                }
                if (index <= parameters.Count() &&
                    IntroducedName(parameters.Item(index)) == "CHAR" &&
                    index + 1 <= parameters.Count() &&
                    parameters.Item(index + 1).ExpressionType() == ekInteger) {
                    ++index;  // the length
                }
                for (++index; index <= parameters.Count(); ++index) {
                    names.Add(IntroducedName(parameters.Item(index)));
                }
            }
            if (statement.objStatements && statement.objStatements->Count() > 0) {
                pending.push_back(statement.objStatements.get());
            }
        }
    }
    return names;
}

void VariableNames::EnterMacro(const CStatement& macro) {
    macro_.clear();
    for (const CExpression& parameter : *macro.objExpressions) {
        if (parameter.ExpressionType() == ekWord) {
            macro_.insert(parameter.Value().ToText());
        }
    }
}

BasicWriter::BasicWriter(std::ostream& modMain, std::ostream& modSupport)
    : modMain_(modMain), modSupport_(modSupport) {}

std::string BasicWriter::ExpressionText(CExpression& node, const VariableNames* variables) {
    return BasicPrinter(variables).Print(node);
}

std::string BasicWriter::StatementLine(CStatement& statement, const VariableNames* variables) {
    const std::string type(statement.StatementType());
    CExpressions& parameters = *statement.objExpressions;
    CExpression* lValue = statement.LValue();
    if (type == "ASSIGN" || type == "OBTAIN" || type == "VALUE") {
        const std::string target = lValue != nullptr ? Identifier(*lValue) : std::string();
        std::string line = target + " = Dms" + type + "(\"" + target + "=" + type + "/";
        std::vector<std::string> dmisTexts;
        for (const CExpression& parameter : parameters) {
            dmisTexts.push_back(parameter.BuildString());
        }
        if (type == "ASSIGN") {
            for (const std::string& text : dmisTexts) {
                line += "\" & " + EnsureDoubleQuotes(text) + ", ";
            }
        } else {
            line += Join(dmisTexts, ", ") + "\", ";
        }
        return line + " " + JoinedParameters(statement, variables) + ")";
    }
    if (type == "CALL") {
        const std::string name = parameters.Count() > 0 ? LabelName(parameters.Item(1)) : "";
        return "Call " + name + "(" + JoinedParameters(statement, variables, 2) + ")";
    }
    if (type == "CASE") {
        return "Case " + JoinedParameters(statement, variables);
    }
    if (type == "DFTCAS") {
        return "Case Else";
    }
    if (type == "DECL") {
        return DeclarationLine(statement);
    }
    if (type == "DO") {
        std::vector<std::string> texts = BasicParameters(statement, variables);
        texts.resize(std::max<std::size_t>(texts.size(), 3));
        const std::string variable =
            parameters.Count() > 0 ? Identifier(parameters.Item(1)) : std::string();
        CStatements::SetNextVariable(Variant::FromString(variable));
        std::string line = "For " + variable + " = " + texts[1] + " To " + texts[2];
        if (parameters.Count() >= 4) {
            line += " Step " + texts[3];
        }
        return line;
    }
    if (type == "ENDDO" || type == "ENDGO" || type == "ENDMES") {
        return type;
    }
    if (type == "ENDIF") {
        return "End If";
    }
    if (type == "ENDMAC") {
        return "End Sub";
    }
    if (type == "IF") {
        return "If " + JoinedParameters(statement, variables) + " Then";
    }
    if (type == "JUMPTO") {
        return "GoTo " + (parameters.Count() > 0 ? JumpName(parameters.Item(1)) : "");
    }
    if (type == "LABEL") {
        return (parameters.Count() > 0 ? Identifier(parameters.Item(1)) : "") + ":";
    }
    if (type == "SELECT") {
        return "Select Case " + JoinedParameters(statement, variables);
    }
    std::string line = "Dms" + type;
    if (lValue != nullptr && !lValue->BuildString().empty()) {
        line += " " + ExpressionText(*lValue, variables) + ",";
    }
    if (parameters.Count() > 0) {
        std::string texts = JoinedParameters(statement, variables);
        if (type == "TEXT" && texts.starts_with("\"QUERY\",")) {
            // The query label becomes a text.
            const std::size_t open = texts.find('(');
            const std::size_t close = texts.find(')', open == std::string::npos ? 0 : open);
            if (open != std::string::npos && close != std::string::npos) {
                texts.insert(close + 1, "\"");
                texts.insert(open, "\"");
            }
        }
        line += " " + texts;
    }
    return line;
}

void BasicWriter::WriteLine(int32_t offset, std::string_view text) {
    std::ostream& out = inMacro_ ? modSupport_ : *body_;
    static constexpr std::string_view kBlanks = "                                ";
    for (std::size_t indent = static_cast<std::size_t>(std::max(offset, 0)); indent > 0;) {
        const std::size_t piece = std::min(indent, kBlanks.size());
        out.write(kBlanks.data(), static_cast<std::streamsize>(piece));
        indent -= piece;
    }
    out << text << kLineEnd;
}

void BasicWriter::WriteComments(int32_t lastLine, int32_t offset, bool allAfter) {
    // Comments are in source order, so one cursor serves the whole program.
    if (comments_ == nullptr) {
        return;
    }
    while (nextComment_ <= comments_->Count()) {
        const CComment& comment = comments_->Item(nextComment_);
        if (comment.LineNumber() < lineNo_) {
            ++nextComment_;  // its line has passed
            continue;
        }
        if (!allAfter && comment.LineNumber() > lastLine) {
            break;
        }
        WriteLine(offset, "' " + comment.Comment());
        ++nextComment_;
    }
    if (!allAfter && lastLine >= lineNo_) {
        lineNo_ = lastLine + 1;
    }
}

void BasicWriter::WriteStatements(CStatements& statements, int32_t offset) {
    for (CStatement& statement : statements) {
        WriteComments(statement.LineNumber(), offset, false);
        const std::string_view type = statement.StatementType();
        CStatements* block = statement.objStatements.get();
        if (type == "IfBlock") {
            if (block != nullptr) {
                WriteStatements(*block, offset);
            }
            continue;
        }
        if (type == "ElseBlock") {
            WriteLine(offset - 4, "Else");
            if (block != nullptr) {
                WriteStatements(*block, offset);
            }
            continue;
        }
        if (type == "MACRO") {
            inMacro_ = true;
            variables_.EnterMacro(statement);
            std::vector<std::string> parameters;
            for (const CExpression& parameter : *statement.objExpressions) {
                parameters.push_back(DeclareAsString(parameter.BuildString()));
            }
            const std::string name =
                statement.LValue() != nullptr ? LabelName(*statement.LValue()) : "";
            Line(modSupport_, "Sub " + name + "(" + Join(parameters, ", ") + ")");
            if (block != nullptr) {
                WriteStatements(*block, 4);
            }
            continue;
        }
        if (type == "ENDMAC") {
            Line(modSupport_, "End Sub");
            Line(modSupport_, "");
            inMacro_ = false;
            variables_.LeaveMacro();
            continue;
        }
        if (type == "DECL") {
            declarations_->push_back(StatementLine(statement, &variables_));
            continue;
        }
        if (IsClosing(type)) {
            WriteLine(offset - 4, ClosingLine(type));
            continue;
        }
        std::string line = StatementLine(statement, &variables_);
        if (line.starts_with("If ")) {
            line = MapOperators(std::move(line));
        }
        WriteLine(offset, line);
        if (block != nullptr && block->Count() > 0) {
            WriteStatements(*block, offset + 4);
        }
    }
}

void BasicWriter::WriteProgram(CProgram& program) {
    ScratchFile scratch;
    body_ = &scratch.Out();
    comments_ = program.objComments.get();
    nextComment_ = 1;
    lineNo_ = 1;
    inMacro_ = false;
    CStatements empty;
    CStatements& statements = program.objStatements ? *program.objStatements : empty;
    declarations_ = &*statements.colDecls;
    declarations_->clear();
    variables_ = VariableNames::Of(program);

    Line(modMain_, "Attribute VB_NAME = \"modMain\"");
    Line(modMain_, "Option Explicit");
    Line(modMain_, "");
    Line(*body_, "Sub Main()");
    Line(*body_, "Startup");
    Line(modSupport_, "Option Explicit");
    Line(modSupport_, "");

    WriteStatements(statements, 4);
    WriteComments(0, 4, true);
    inMacro_ = false;

    body_ = nullptr;
    for (const std::string& declaration : *statements.colDecls) {
        Line(modMain_, declaration);
    }
    Line(modMain_, "");
    scratch.CopyTo(modMain_);
    Line(modMain_, "Shutdown");
    Line(modMain_, "End Sub");
    if (!modMain_ || !modSupport_) {
        throw MakeError(RunTimeError::PathFileAccessError, "CProgram.WriteToBas",
                        "a module cannot be written");
    }
}

void CProgram::WriteToBas(std::ostream& modMain, std::ostream& modSupport) {
    BasicWriter(modMain, modSupport).WriteProgram(*this);
}

void CStatements::WriteToBas(BasicWriter& writer, int32_t iOffset) {
    writer.WriteStatements(*this, iOffset);
}

void CComments::WriteToBas(BasicWriter& writer, int32_t lLineNo, int32_t iOffset, bool vAllAfter) {
    writer.WriteComments(lLineNo, iOffset, vAllAfter);
}

std::string CStatement::BuildForBas() {
    return BasicWriter::StatementLine(*this);
}

std::string CExpression::BuildForBas() {
    return BasicWriter::ExpressionText(*this);
}

void WriteBasicModules(CProgram& program, const std::string& directory) {
    const std::string mainPath = (std::filesystem::path(directory) / "ModMain.bas").string();
    const std::string supportPath = (std::filesystem::path(directory) / "ModSupport.bas").string();
    AtomicFile mainFile(mainPath, RunTimeError::PathFileAccessError, "WriteBasicModules");
    AtomicFile supportFile(supportPath, RunTimeError::PathFileAccessError, "WriteBasicModules");
    {
        std::ofstream modMain(mainFile.TemporaryPath(), std::ios::binary | std::ios::trunc);
        std::ofstream modSupport(supportFile.TemporaryPath(), std::ios::binary | std::ios::trunc);
        const int error = errno;
        if (!modMain || !modSupport) {
            throw MakeError(
                RunTimeError::PathFileAccessError, "WriteBasicModules",
                "The modules cannot be written in '" + directory + "': " + std::strerror(error));
        }
        errno = 0;
        try {
            program.WriteToBas(modMain, modSupport);
        } catch (const Error& failure) {
            if (modMain && modSupport) {
                throw;  // not a failed write
            }
            const std::string reason = errno != 0 ? std::strerror(errno) : "a write failed";
            throw MakeError(RunTimeError::PathFileAccessError, failure.Source(),
                            "The module " + (modMain ? supportPath : mainPath) +
                                " cannot be written: " + reason);
        }
        modMain.close();
        modSupport.close();
        if (!modMain || !modSupport) {
            const std::string reason = errno != 0 ? std::strerror(errno) : "a write failed";
            throw MakeError(RunTimeError::PathFileAccessError, "WriteBasicModules",
                            "The module " + (modMain ? supportPath : mainPath) +
                                " cannot be written: " + reason);
        }
    }
    mainFile.Commit();
    supportFile.Commit();
}

}  // namespace vantreel
