#include "dmis/basic/BasicWriter.h"

#include "dmis/basic/BasicWords.h"
#include "dmis/model/CComments.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/model/NumberFormat.h"
#include "dmis/model/OutputBuffer.h"
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

void Line(std::string& out, std::string_view text) {
    out += text;
    out += kLineEnd;
}

// The parameters of a statement. A statement without any reads a list of
// the writer's own: nothing is made for it, neither in the statement nor
// elsewhere on the heap.
const CExpressions& Parameters(const CStatement& statement) {
    static const CExpressions kNone;
    const CExpressions* parameters = statement.objExpressions.get();
    return parameters != nullptr ? *parameters : kNone;
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

// -"XDIR" and friends: the minus goes inside the quotes. Works on the text
// from start to the end of out.
void MoveMinusInside(std::string& out, std::size_t start) {
    const std::string_view text = std::string_view(out).substr(start);
    if (text.empty() || text.back() != '"') {
        return;
    }
    static constexpr std::string_view kWords[] = {"XDIR", "YDIR", "ZDIR", "PRBRAD"};
    for (const std::string_view word : kWords) {
        // -"WORD" at the end: the minus and the opening quote change places.
        const std::size_t size = word.size() + 3;
        if (text.size() >= size && text[text.size() - size] == '-' &&
            text[text.size() - size + 1] == '"' &&
            text.substr(text.size() - word.size() - 1, word.size()) == word) {
            const std::size_t minus = out.size() - size;
            out[minus] = '"';
            out[minus + 1] = '-';
            return;
        }
    }
}

std::string MoveMinusInside(std::string text) {
    MoveMinusInside(text, 0);
    return text;
}

std::vector<std::string> BasicParameters(CStatement& statement, const VariableNames* variables,
                                         int32_t first = 1) {
    std::vector<std::string> texts;
    const CExpressions& parameters = Parameters(statement);
    for (int32_t i = first; i <= parameters.Count(); ++i) {
        texts.push_back(
            MoveMinusInside(BasicWriter::ExpressionText(parameters.Item(i), variables)));
    }
    return texts;
}

// Appends the Basic texts of the parameters from first on, joined by ", ".
void AppendJoinedParameters(std::string& out, CStatement& statement, const VariableNames* variables,
                            int32_t first = 1) {
    const CExpressions& parameters = Parameters(statement);
    for (int32_t i = first; i <= parameters.Count(); ++i) {
        if (i > first) {
            out += ", ";
        }
        const std::size_t start = out.size();
        BasicWriter::AppendExpressionText(out, parameters.Item(i), variables);
        MoveMinusInside(out, start);
    }
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
    const CExpressions& parameters = Parameters(statement);
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

bool IsClosing(std::string_view type) {
    return type == "ENDIF" || type == "ENDSEL" || type == "ENDDO" || type == "ENDMES" ||
           type == "ENDGO";
}

// Basic text of an expression, written without recursion like BuildString
// and appended to out. A word in variables is a Basic identifier even when it
// is a minor word.
class BasicPrinter {
  public:
    BasicPrinter(std::string& out, const VariableNames* variables)
        : out_(out), variables_(variables) {}

    void Print(CExpression& root) {
        // Most parameters are a word or a (wrapped, negated) number: no work
        // list for them. A sign goes before its operand, so it is written at once.
        CExpression* node = BelowWrappingsAndSigns(
            &root, [this](int32_t kind) { out_ += kind == ekNegate ? "-" : "Not "; });
        if (IsPlainKind(node->ExpressionType())) {
            AppendPlainText(*node);
            return;
        }
        // Label references and the like are written at once; operators and
        // calls leave their operands on the work list.
        pending_.clear();  // what an error left behind
        Expand(*node);
        while (!pending_.empty()) {
            const Piece piece = pending_.back();
            pending_.pop_back();
            if (piece.node != nullptr) {
                Expand(*piece.node);
            } else if (piece.value != nullptr) {
                AppendValueText(out_, *piece.value);
            } else {
                out_ += piece.text;
            }
        }
    }

  private:
    // A node still to print, a plain value to convert to text, or literal text.
    struct Piece {
        CExpression* node;
        const Variant* value;
        std::string_view text;
    };

    void Push(std::string_view text) { pending_.push_back({nullptr, nullptr, text}); }

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
            pending_.push_back({child, nullptr, {}});
            return;
        }
        if (element.IsArray()) {
            element.ToText();  // error 13, before anything else is written
        }
        // A plain value is not changed while the work list holds it: only the
        // nodes printed change (a minor word becomes quoted text).
        pending_.push_back({nullptr, &element, {}});
    }

    void Expand(CExpression& node) {
        Variant& value = node.Value();
        const int32_t kind = node.ExpressionType();
        if (IsBinaryKind(kind)) {
            const VariantArray& operands = value.Array();
            PushElement(operands[2]);
            Push(BasicOperator(kind));
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
                out_ += "Dms";
                AppendValueText(out_, parts[1]);
                out_ += "(\"";
                AppendValueText(out_, parts[2]);
                out_ += '"';
                if (node.OutPutPoints().IsArray()) {
                    for (const Variant& point : node.OutPutPoints().Array().Elements()) {
                        out_ += ',';
                        AppendValueText(out_, point);
                    }
                }
                out_ += ')';
                return;
            }
            case ekDatumRef:
            case ekIndexedName: {
                const VariantArray& parts = value.Array();
                const int32_t count = parts[2].WholeNumber();
                out_ += "Dms";
                AppendValueText(out_, parts[1]);
                out_ += "(\"";
                AppendValueText(out_, parts[3]);
                if (count >= 2) {
                    out_ += kind == ekDatumRef ? '-' : ',';
                    AppendValueText(out_, parts[4]);
                }
                out_ += "\")";
                return;
            }
            case ekFunctionCall: {
                const VariantArray& parts = value.Array();
                const Variant& name = parts[1];
                const bool intrinsic = name.Type() == VariantType::String
                                           ? IsDmisFunction(name.String())
                                           : IsDmisFunction(name.ToText());
                const int32_t count = parts[2].WholeNumber();
                Push(")");
                for (int32_t i = count; i >= 1; --i) {
                    PushElement(parts[2 + i]);
                    if (i > 1) {
                        Push(",");
                    }
                }
                Push("(");
                pending_.push_back({nullptr, &name, {}});
                if (intrinsic) {
                    Push("Dms");
                }
                return;
            }
            case ekColonNumber: {
                const VariantArray& parts = value.Array();
                out_ += '"';
                AppendValueText(out_, parts[2]);
                out_ += ':';
                AppendValueText(out_, parts[3]);
                out_ += ':';
                AppendValueText(out_, parts[4]);
                out_ += '"';
                return;
            }
            default:
                AppendPlainText(node);
                return;
        }
    }

    // A plain value: numbers as text; a minor word becomes a quoted string
    // (kept in the node); runs of single quotes shrink to one.
    void AppendPlainText(CExpression& node) {
        const Variant& value = node.Value();
        if (value.Type() != VariantType::String) {
            AppendValueText(out_, value);
            return;
        }
        if (node.ExpressionType() == ekWord && variables_ != nullptr &&
            variables_->Contains(value.String())) {
            out_ += value.String();
            return;
        }
        if (IsDmisMinorWord(value.String())) {
            std::string quoted;
            quoted.reserve(value.String().size() + 2);
            quoted += '"';
            quoted += value.String();
            quoted += '"';
            node.SetValue(Variant::FromString(quoted));
        }
        const std::string_view text = node.Value().String();
        if (text.find('\'') == std::string_view::npos) {
            out_ += text;
            return;
        }
        const std::size_t start = out_.size();
        for (const char c : text) {
            if (c != '\'' || out_.size() == start || out_.back() != '\'') {
                out_ += c;
            }
        }
    }

    std::string& out_;
    const VariableNames* variables_;
    // One work list serves every print of the thread.
    static thread_local std::vector<Piece> pending_;
};

thread_local std::vector<BasicPrinter::Piece> BasicPrinter::pending_;

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
            const CExpressions& parameters = Parameters(statement);
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
    for (const CExpression& parameter : Parameters(macro)) {
        if (parameter.ExpressionType() == ekWord) {
            macro_.insert(parameter.Value().ToText());
        }
    }
}

BasicWriter::BasicWriter(std::ostream& modMain, std::ostream& modSupport)
    : modMain_(modMain), modSupport_(modSupport) {}

std::string BasicWriter::ExpressionText(CExpression& node, const VariableNames* variables) {
    std::string text;
    AppendExpressionText(text, node, variables);
    return text;
}

void BasicWriter::AppendExpressionText(std::string& out, CExpression& node,
                                       const VariableNames* variables) {
    BasicPrinter(out, variables).Print(node);
}

std::string BasicWriter::StatementLine(CStatement& statement, const VariableNames* variables) {
    std::string line;
    AppendStatementLine(line, statement, variables);
    return line;
}

void BasicWriter::AppendStatementLine(std::string& out, CStatement& statement,
                                      const VariableNames* variables) {
    const std::string_view type = statement.StatementType();
    const CExpressions& parameters = Parameters(statement);
    CExpression* lValue = statement.LValue();
    if (type == "ASSIGN" || type == "OBTAIN" || type == "VALUE") {
        const std::string target = lValue != nullptr ? Identifier(*lValue) : std::string();
        out += target;
        out += " = Dms";
        out += type;
        out += "(\"";
        out += target;
        out += '=';
        out += type;
        out += '/';
        // The DMIS texts of all parameters come before any Basic text.
        bool first = true;
        for (const CExpression& parameter : parameters) {
            if (type == "ASSIGN") {
                out += "\" & ";
                const std::size_t start = out.size();
                parameter.AppendString(out);
                // Between double quotes.
                if (out.size() == start || out[start] != '"') {
                    out.insert(out.begin() + static_cast<std::ptrdiff_t>(start), '"');
                }
                if (out.size() - start < 2 || out.back() != '"') {
                    out += '"';
                }
                out += ", ";
            } else {
                if (!first) {
                    out += ", ";
                }
                parameter.AppendString(out);
            }
            first = false;
        }
        if (type != "ASSIGN") {
            out += "\", ";
        }
        out += ' ';
        AppendJoinedParameters(out, statement, variables);
        out += ')';
        return;
    }
    if (type == "CALL") {
        out += "Call ";
        if (parameters.Count() > 0) {
            out += LabelName(parameters.Item(1));
        }
        out += '(';
        AppendJoinedParameters(out, statement, variables, 2);
        out += ')';
        return;
    }
    if (type == "CASE") {
        out += "Case ";
        AppendJoinedParameters(out, statement, variables);
        return;
    }
    if (type == "DFTCAS") {
        out += "Case Else";
        return;
    }
    if (type == "DECL") {
        out += DeclarationLine(statement);
        return;
    }
    if (type == "DO") {
        std::vector<std::string> texts = BasicParameters(statement, variables);
        texts.resize(std::max<std::size_t>(texts.size(), 3));
        // The loop variable is read after the Basic texts are made.
        const std::string variable =
            parameters.Count() > 0 ? Identifier(parameters.Item(1)) : std::string();
        CStatements::SetNextVariable(Variant::FromString(variable));
        out += "For ";
        out += variable;
        out += " = ";
        out += texts[1];
        out += " To ";
        out += texts[2];
        if (parameters.Count() >= 4) {
            out += " Step ";
            out += texts[3];
        }
        return;
    }
    if (type == "ENDDO" || type == "ENDGO" || type == "ENDMES") {
        out += type;
        return;
    }
    if (type == "ENDIF") {
        out += "End If";
        return;
    }
    if (type == "ENDMAC") {
        out += "End Sub";
        return;
    }
    if (type == "IF") {
        out += "If ";
        AppendJoinedParameters(out, statement, variables);
        out += " Then";
        return;
    }
    if (type == "JUMPTO") {
        out += "GoTo ";
        if (parameters.Count() > 0) {
            out += JumpName(parameters.Item(1));
        }
        return;
    }
    if (type == "LABEL") {
        if (parameters.Count() > 0) {
            out += Identifier(parameters.Item(1));
        }
        out += ':';
        return;
    }
    if (type == "SELECT") {
        out += "Select Case ";
        AppendJoinedParameters(out, statement, variables);
        return;
    }
    out += "Dms";
    out += type;
    if (lValue != nullptr) {
        // Only a left-hand value with DMIS text is written.
        const std::size_t start = out.size();
        lValue->AppendString(out);
        const bool hasText = out.size() > start;
        out.resize(start);
        if (hasText) {
            out += ' ';
            AppendExpressionText(out, *lValue, variables);
            out += ',';
        }
    }
    if (parameters.Count() > 0) {
        out += ' ';
        const std::size_t start = out.size();
        AppendJoinedParameters(out, statement, variables);
        if (type == "TEXT" && std::string_view(out).substr(start).starts_with("\"QUERY\",")) {
            // The query label becomes a text.
            const std::size_t open = out.find('(', start);
            const std::size_t close = out.find(')', open == std::string::npos ? start : open);
            if (open != std::string::npos && close != std::string::npos) {
                out.insert(close + 1, "\"");
                out.insert(open, "\"");
            }
        }
    }
}

OutputBuffer& BasicWriter::Target() {
    return inMacro_ ? *support_ : *body_;
}

void BasicWriter::WriteLine(int32_t offset, std::string_view text, std::string_view more) {
    OutputBuffer& out = Target();
    out.Indent(offset);
    out.Text() += text;
    out.Text() += more;
    out.Text() += kLineEnd;
    out.FlushIfFull();
}

void BasicWriter::WriteStatementLine(int32_t offset, CStatement& statement) {
    OutputBuffer& out = Target();
    std::string& text = out.Text();
    const std::size_t start = text.size();
    try {
        out.Indent(offset);
        const std::size_t line = text.size();
        AppendStatementLine(text, statement, &variables_);
        if (std::string_view(text).substr(line).starts_with("If ")) {
            const std::string mapped = MapOperators(text.substr(line));
            text.replace(line, std::string::npos, mapped);
        }
    } catch (...) {
        text.resize(start);  // no part of a line that failed
        throw;
    }
    text += kLineEnd;
    out.FlushIfFull();
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
        WriteLine(offset, "' ", comment.Comment());
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
            for (const CExpression& parameter : Parameters(statement)) {
                parameters.push_back(DeclareAsString(parameter.BuildString()));
            }
            const std::string name =
                statement.LValue() != nullptr ? LabelName(*statement.LValue()) : "";
            WriteLine(0, "Sub " + name + "(" + Join(parameters, ", ") + ")");
            if (block != nullptr) {
                WriteStatements(*block, 4);
            }
            continue;
        }
        if (type == "ENDMAC") {
            support_->Text() += "End Sub";
            support_->Text() += kLineEnd;
            support_->Text() += kLineEnd;
            inMacro_ = false;
            variables_.LeaveMacro();
            continue;
        }
        if (type == "DECL") {
            declarations_->push_back(StatementLine(statement, &variables_));
            continue;
        }
        if (IsClosing(type)) {
            WriteClosingLine(offset - 4, type);
            continue;
        }
        WriteStatementLine(offset, statement);
        if (block != nullptr && block->Count() > 0) {
            WriteStatements(*block, offset + 4);
        }
    }
}

// The closing line of a block, written at the indent of its opener.
void BasicWriter::WriteClosingLine(int32_t offset, std::string_view type) {
    if (type == "ENDIF") {
        WriteLine(offset, "End If");
    } else if (type == "ENDSEL") {
        WriteLine(offset, "End Select");
    } else if (type == "ENDDO") {
        WriteLine(offset, "Next ", CStatements::NextVariable().ToText());
    } else {
        WriteLine(offset, "Dms", type);  // ENDMES, ENDGO
    }
}

void BasicWriter::WriteProgram(CProgram& program) {
    ScratchFile scratch;
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
    {
        // The statements go to the scratch file, the macros to the support
        // module, each in large writes.
        OutputBuffer body(scratch.Out());
        OutputBuffer support(modSupport_);
        body_ = &body;
        support_ = &support;
        struct Detach {
            BasicWriter& writer;
            ~Detach() { writer.body_ = writer.support_ = nullptr; }
        } detach{*this};
        Line(body.Text(), "Sub Main()");
        Line(body.Text(), "Startup");
        Line(support.Text(), "Option Explicit");
        Line(support.Text(), "");

        WriteStatements(statements, 4);
        WriteComments(0, 4, true);
        inMacro_ = false;
        body.Flush();
        support.Flush();
    }

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
