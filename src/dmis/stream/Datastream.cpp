#include "dmis/stream/Datastream.h"

#include "dmis/model/CComments.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/model/ModelArena.h"
#include "shared/AtomicFile.h"
#include "shared/FileUtil.h"
#include "shared/InputFile.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <vector>

namespace vantreel {
namespace {

static_assert(std::endian::native == std::endian::little, "records are little-endian");

constexpr std::size_t kChunk = 16384;
constexpr int32_t kMaxString = 32767;
constexpr int32_t kOverwriteQuestion = 1000;

[[noreturn]] void ThrowNotOpen() {
    throw MakeError(RunTimeError::StreamFailure, "Datastream", GetResString(1000));
}

[[noreturn]] void ThrowPastEnd() {
    throw MakeError(RunTimeError::InputPastEndOfFile, "Datastream", "Input past end of file");
}

[[noreturn]] void ThrowFileError(const std::string& path) {
    throw MakeError(RunTimeError::PathFileAccessError, "Datastream",
                    path + ": " + std::strerror(errno));
}

// A file's last-modified time as text in local time, and back.
std::string DateText(time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool TimeFromText(const std::string& text, time_t& seconds) {
    std::tm local{};
    if (strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &local) == nullptr) {
        return false;
    }
    local.tm_isdst = -1;
    seconds = std::mktime(&local);
    return true;
}

// Node kinds whose Value holds one child node.
bool IsUnaryKind(int32_t kind) {
    return kind == ekNegate || kind == ekWrapped || kind == ekNot || kind == ekParenthesized;
}

}  // namespace

Datastream::Datastream() = default;

Datastream::~Datastream() {
    if (write_ != nullptr) {
        std::fclose(write_);
    }
    if (read_ != nullptr) {
        std::fclose(read_);
    }
}

std::FILE* Datastream::WriteFileHandle() {
    if (write_ == nullptr) {
        ThrowNotOpen();
    }
    return write_;
}

std::FILE* Datastream::ReadFileHandle() {
    if (read_ == nullptr) {
        ThrowNotOpen();
    }
    return read_;
}

void Datastream::Nonsense(const std::string& what) const {
    throw MakeError(RunTimeError::StreamFailure, "Datastream",
                    "The model stream cannot be read: " + what);
}

bool Datastream::WriteOpen(const std::string& sFile) {
    WriteClose();
    // Written in place, over a regular file or a new one; a symbolic link is
    // written through. Anything else at the target is refused.
    std::string target;
    if (const std::string problem = WriteTargetProblem(sFile, target); !problem.empty()) {
        throw MakeError(RunTimeError::PathFileAccessError, "Datastream", sFile + ": " + problem);
    }
    std::FILE* file = std::fopen(target.c_str(), "r+b");  // from the start, keeping the rest
    if (file == nullptr && errno == ENOENT) {
        file = std::fopen(target.c_str(), "wb");
    }
    if (file == nullptr) {
        ThrowFileError(sFile);
    }
    write_ = file;
    return true;
}

void Datastream::WriteClose() {
    if (write_ != nullptr) {
        const bool failed = std::fclose(write_) != 0;
        write_ = nullptr;
        if (failed) {
            throw MakeError(RunTimeError::PathFileAccessError, "Datastream",
                            "the stream file cannot be written");
        }
    }
}

void Datastream::ReadOpen(const std::string& sFile) {
    ReadClose();
    uint64_t size = 0;
    InputFile file;
    try {
        file = OpenInputFile(sFile, kMaxModelStreamBytes, RunTimeError::PathFileAccessError,
                             "Datastream", &size);
    } catch (const Error& error) {
        throw MakeError(RunTimeError::PathFileAccessError, "Datastream",
                        sFile + ": " + error.Description());
    }
    read_ = file.release();
    readSize_ = size;
}

void Datastream::ReadClose() {
    if (read_ != nullptr) {
        std::fclose(read_);
        read_ = nullptr;
        readSize_ = 0;
    }
}

bool Datastream::ReadEOF() {
    return read_ == nullptr || ReadLeft() == 0;
}

uint64_t Datastream::ReadLeft() {
    const long position = std::ftell(ReadFileHandle());
    return position < 0 || static_cast<uint64_t>(position) >= readSize_
               ? 0
               : readSize_ - static_cast<uint64_t>(position);
}

void Datastream::WriteBytes(const void* bytes, std::size_t size) {
    if (size > 0 && std::fwrite(bytes, 1, size, WriteFileHandle()) != size) {
        throw MakeError(RunTimeError::PathFileAccessError, "Datastream",
                        "the stream file cannot be written");
    }
}

void Datastream::ReadBytes(void* bytes, std::size_t size) {
    if (size > 0 && std::fread(bytes, 1, size, ReadFileHandle()) != size) {
        ThrowPastEnd();
    }
}

void Datastream::Skip(uint64_t size) {
    if (size > ReadLeft()) {
        ThrowPastEnd();
    }
    if (std::fseek(ReadFileHandle(), static_cast<long>(size), SEEK_CUR) != 0) {
        ThrowPastEnd();
    }
}

void Datastream::WriteMarker(std::string_view sMarker) {
    WriteBytes(sMarker.data(), sMarker.size());
}

bool Datastream::ReadMarker(std::string_view sMarker) {
    std::string bytes(sMarker.size(), '\0');
    ReadBytes(bytes.data(), bytes.size());
    return bytes == sMarker;
}

void Datastream::WriteLong(int32_t l) {
    WriteBytes(&l, sizeof l);
}

int32_t Datastream::ReadLong() {
    int32_t l = 0;
    ReadBytes(&l, sizeof l);
    return l;
}

void Datastream::WriteInteger(int16_t i) {
    WriteBytes(&i, sizeof i);
}

int16_t Datastream::ReadInteger() {
    int16_t i = 0;
    ReadBytes(&i, sizeof i);
    return i;
}

void Datastream::WriteString(std::string_view s) {
    WriteFileHandle();
    if (s.size() > static_cast<std::size_t>(kMaxString)) {
        throw MakeError(RunTimeError::Overflow, "Datastream", "Overflow");
    }
    WriteInteger(static_cast<int16_t>(s.size()));
    WriteBytes(s.data(), s.size());
}

std::string Datastream::ReadString() {
    const int16_t length = ReadInteger();
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    ReadBytes(text.data(), text.size());
    return text;
}

void Datastream::WriteVariant(const Variant& v) {
    WriteFileHandle();
    const VariantType type = v.Type();
    if (type == VariantType::Object || type == VariantType::Array) {
        throw MakeError(RunTimeError::TypeMismatch, "Datastream", "Type mismatch");
    }
    WriteInteger(static_cast<int16_t>(type));
    switch (type) {
        case VariantType::Integer:
            WriteInteger(v.Integer());
            return;
        case VariantType::Long:
            WriteLong(v.Long());
            return;
        case VariantType::Single: {
            const float value = v.Single();
            WriteBytes(&value, sizeof value);
            return;
        }
        case VariantType::Double:
        case VariantType::Date: {
            const double value = type == VariantType::Double ? v.Double() : v.Date();
            WriteBytes(&value, sizeof value);
            return;
        }
        case VariantType::Currency: {
            const int64_t value = v.Currency();
            WriteBytes(&value, sizeof value);
            return;
        }
        case VariantType::String:
            WriteString(v.String());
            return;
        case VariantType::Boolean:
            WriteInteger(v.Boolean() ? -1 : 0);
            return;
        case VariantType::Byte: {
            const uint8_t value = v.Byte();
            WriteBytes(&value, sizeof value);
            return;
        }
        default:
            return;  // Empty and Null have no data
    }
}

Variant Datastream::ReadVariant() {
    const int16_t code = ReadInteger();
    switch (static_cast<VariantType>(code)) {
        case VariantType::Empty:
            return Variant();
        case VariantType::Null:
            return Variant::MakeNull();
        case VariantType::Integer:
            return Variant::FromInteger(ReadInteger());
        case VariantType::Long:
            return Variant::FromLong(ReadLong());
        case VariantType::Single: {
            float value = 0;
            ReadBytes(&value, sizeof value);
            return Variant::FromSingle(value);
        }
        case VariantType::Double:
        case VariantType::Date: {
            double value = 0;
            ReadBytes(&value, sizeof value);
            return static_cast<VariantType>(code) == VariantType::Double
                       ? Variant::FromDouble(value)
                       : Variant::FromDate(value);
        }
        case VariantType::Currency: {
            int64_t value = 0;
            ReadBytes(&value, sizeof value);
            return Variant::FromCurrency(value);
        }
        case VariantType::String:
            return Variant::FromString(ReadString());
        case VariantType::Boolean:
            return Variant::FromBoolean(ReadInteger() != 0);
        case VariantType::Byte: {
            uint8_t value = 0;
            ReadBytes(&value, sizeof value);
            return Variant::FromByte(value);
        }
        default:
            Nonsense("unknown value type " + std::to_string(code));
    }
}

void Datastream::WriteFile(const std::string& sPath) {
    WriteFileHandle();
    uint64_t bytes = 0;
    InputFile input;
    try {
        input = OpenInputFile(sPath, static_cast<uint64_t>(std::numeric_limits<int32_t>::max()),
                              RunTimeError::PathFileAccessError, "Datastream", &bytes);
    } catch (const Error& error) {
        throw MakeError(RunTimeError::PathFileAccessError, "Datastream",
                        sPath + " cannot be embedded: " + error.Description());
    }
    std::FILE* source = input.get();
    struct stat info {};
    fstat(fileno(source), &info);
    WriteLong(static_cast<int32_t>(bytes));
    WriteString(DateText(info.st_mtim.tv_sec));
    std::vector<char> chunk(kChunk);
    uint64_t left = bytes;
    while (left > 0) {
        const std::size_t size = static_cast<std::size_t>(std::min<uint64_t>(left, kChunk));
        if (std::fread(chunk.data(), 1, size, source) != size) {
            ThrowFileError(sPath);
        }
        WriteBytes(chunk.data(), size);
        left -= size;
    }
}

void Datastream::ReadFile(const std::string& sPath) {
    const int32_t length = ReadLong();
    const std::string dateText = ReadString();
    if (length < 0 || static_cast<uint64_t>(length) > ReadLeft()) {
        Nonsense("an embedded file is longer than the stream");
    }
    time_t stored = 0;
    if (!TimeFromText(dateText, stored)) {
        Nonsense("the date '" + dateText + "' of an embedded file");
    }
    // Only a regular file (or none) is replaced, whole and once complete;
    // anything else at sPath is refused before the question.
    AtomicFile target(sPath, RunTimeError::PathFileAccessError, "Datastream");
    struct stat existing {};
    if (stat(sPath.c_str(), &existing) == 0 && existing.st_mtim.tv_sec > stored &&
        MsgBoxEx(FormatResString(kOverwriteQuestion, sPath), vbYesNo + vbQuestion, "") == vbNo) {
        Skip(static_cast<uint64_t>(length));  // the newer file stays
        return;
    }
    std::vector<char> chunk(kChunk);
    uint64_t left = static_cast<uint64_t>(length);
    while (left > 0) {
        const std::size_t size = static_cast<std::size_t>(std::min<uint64_t>(left, kChunk));
        ReadBytes(chunk.data(), size);
        target.Write(std::string_view(chunk.data(), size));
        left -= size;
    }
    target.Commit();
    FileUtil file;
    file.OpenFileForWrite(target.Target());
    file.SetDateTime(FileUtil::DateFromTime(static_cast<long long>(stored)));
    file.CloseFile();
}

void Datastream::SkipFile() {
    const int32_t length = ReadLong();
    ReadString();
    if (length < 0) {
        Nonsense("an embedded file of negative length");
    }
    Skip(static_cast<uint64_t>(length));
}

int32_t Datastream::ReadCount(const char* what, uint64_t smallestItem) {
    const int32_t count = ReadLong();
    if (count < 0 || static_cast<uint64_t>(count) * smallestItem > ReadLeft()) {
        Nonsense(std::to_string(count) + " " + what + " cannot be there");
    }
    return count;
}

// The model.

void Datastream::Write(const CProgram& program) {
    WriteString(program.Name());
    WriteString(program.FileName());
    const CStatements none;
    const CComments noComments;
    Write(program.objStatements ? *program.objStatements : none);
    Write(program.objComments ? *program.objComments : noComments);
}

void Datastream::Read(CProgram& program) {
    const ArenaScope arenaScope(program.Arena());  // what the stream builds
    program.SetName(ReadString());
    program.SetFileName(ReadString());
    if (!program.objStatements) {
        program.objStatements = std::make_unique<CStatements>();
    }
    if (!program.objComments) {
        program.objComments = std::make_unique<CComments>();
    }
    Read(*program.objStatements);
    Read(*program.objComments);
}

void Datastream::Write(const CStatements& statements) {
    WriteLong(statements.Count());
    for (const CStatement& statement : statements) {
        Write(statement);
    }
}

void Datastream::Read(CStatements& statements) {
    // A statement takes at least 4 + 2 + 6 + 4 + 4 bytes.
    const int32_t count = ReadCount("statements", 20);
    for (int32_t i = 0; i < count; ++i) {
        auto statement = std::make_unique<CStatement>();
        Read(*statement);
        statements.AddStatement(std::move(statement));
    }
}

void Datastream::Write(const CStatement& statement) {
    if (++blockDepth_ > kMaxBlockDepth) {
        blockDepth_ = 0;
        throw MakeError(RunTimeError::StreamFailure, "Datastream",
                        "blocks are nested too deeply to be streamed");
    }
    WriteLong(statement.LineNumber());
    WriteString(statement.StatementType());
    const CExpression noValue;
    const CStatements noBlock;
    const CExpressions noParameters;
    Write(statement.LValue() != nullptr ? *statement.LValue() : noValue);
    Write(statement.objStatements ? *statement.objStatements : noBlock);
    Write(statement.objExpressions ? *statement.objExpressions : noParameters);
    --blockDepth_;
}

void Datastream::Read(CStatement& statement) {
    if (++blockDepth_ > kMaxBlockDepth) {
        blockDepth_ = 0;
        Nonsense("blocks nested too deeply");
    }
    statement.SetLineNumber(ReadLong());
    statement.SetStatementType(ReadString());
    // A statement without a left-hand side streams an empty node; the loaded
    // model leaves it out, as the parser does.
    std::unique_ptr<CExpression> lValue = ReadExpression();
    if (lValue->ExpressionType() == 0 && lValue->Value().IsEmpty() &&
        lValue->OutPutPoints().IsEmpty() && !lValue->HasExpressions()) {
        lValue.reset();
    }
    statement.SetLValue(std::move(lValue));
    if (!statement.objStatements) {
        statement.objStatements = std::make_unique<CStatements>();
    }
    if (!statement.objExpressions) {
        statement.objExpressions = std::make_unique<CExpressions>();
    }
    Read(*statement.objStatements);
    Read(*statement.objExpressions);
    --blockDepth_;
}

void Datastream::Write(const CExpressions& expressions) {
    WriteLong(expressions.Count());
    for (const CExpression& expression : expressions) {
        Write(expression);
    }
}

void Datastream::Read(CExpressions& expressions) {
    const int32_t count = ReadCount("expressions", 6);  // Long kind + Variant type
    for (int32_t i = 0; i < count; ++i) {
        expressions.AddExpression(ReadExpression());
    }
}

void Datastream::Write(const CExpression& expression) {
    // Depth first without recursion: a node writes its kind, then its value;
    // a child node in the value writes its own stream at that place.
    struct Item {
        const CExpression* node;
        const Variant* value;
    };
    std::vector<Item> pending{{&expression, nullptr}};
    while (!pending.empty()) {
        const Item item = pending.back();
        pending.pop_back();
        if (item.node == nullptr) {
            WriteVariant(*item.value);
            continue;
        }
        WriteLong(item.node->ExpressionType());
        const Variant& value = item.node->Value();
        if (const CExpression* child = value.Object()) {
            pending.push_back({child, nullptr});
        } else if (value.IsArray()) {
            const VariantArray& array = value.Array();
            for (int32_t i = array.UBound(); i >= std::max(array.LBound(), 1); --i) {
                const Variant& element = array[i];
                pending.push_back(element.Object() != nullptr ? Item{element.Object(), nullptr}
                                                              : Item{nullptr, &element});
            }
        } else {
            pending.push_back({nullptr, &value});
        }
    }
}

std::unique_ptr<CExpression> Datastream::ReadExpression() {
    // A node still waiting for child nodes: binary operators (two), the
    // one-operand kinds (one) and function calls (their argument count).
    struct Waiting {
        CExpression* node;
        VariantArray parts;
        int32_t childrenLeft;
    };
    std::vector<Waiting> waiting;
    std::unique_ptr<CExpression> root;

    // Reads one node's kind and the plain parts of its value.
    auto readNode = [&]() {
        auto node = std::make_unique<CExpression>();
        const int32_t kind = ReadLong();
        node->SetExpressionType(kind);
        Waiting wait{node.get(), VariantArray(1, 0), 0};
        if (IsBinaryKind(kind)) {
            wait.childrenLeft = 2;
        } else if (IsUnaryKind(kind)) {
            wait.childrenLeft = 1;
        } else if (kind == ekLabelRef || kind == ekColonNumber) {
            for (int i = 0; i < (kind == ekLabelRef ? 2 : 4); ++i) {
                wait.parts.Append(ReadVariant());
            }
            node->SetValue(Variant::FromArray(std::move(wait.parts)));
        } else if (kind == ekDatumRef || kind == ekIndexedName || kind == ekFunctionCall) {
            wait.parts.Append(ReadVariant());
            Variant count = ReadVariant();
            const VariantType type = count.Type();
            if (type != VariantType::Integer && type != VariantType::Long) {
                Nonsense("a list without its count");
            }
            const int32_t items = count.WholeNumber();
            if (items < 0 || static_cast<uint64_t>(items) * 2 > ReadLeft()) {
                Nonsense("a list of " + std::to_string(items) + " items");
            }
            wait.parts.Append(std::move(count));
            if (kind == ekFunctionCall) {
                wait.childrenLeft = items;
            } else {
                for (int32_t i = 0; i < items; ++i) {
                    wait.parts.Append(ReadVariant());
                }
            }
            if (wait.childrenLeft == 0) {
                node->SetValue(Variant::FromArray(std::move(wait.parts)));
            }
        } else {
            node->SetValue(ReadVariant());
        }
        if (wait.childrenLeft > 0) {
            waiting.push_back(std::move(wait));
        }
        return node;
    };

    root = readNode();
    while (!waiting.empty()) {
        Waiting& parent = waiting.back();
        CExpression* parentNode = parent.node;
        const bool unary = IsUnaryKind(parentNode->ExpressionType());
        std::unique_ptr<CExpression> child = readNode();  // may push its own entry
        // The parent is on top, or just below a child that waits for its own.
        const std::size_t ownerAt = waiting.size() - (waiting.back().node == parentNode ? 1 : 2);
        Waiting& owner = waiting[ownerAt];
        if (unary) {
            parentNode->SetValue(Variant::FromObject(std::move(child)));
        } else {
            owner.parts.Append(Variant::FromObject(std::move(child)));
        }
        if (--owner.childrenLeft == 0) {
            if (!unary) {
                parentNode->SetValue(Variant::FromArray(std::move(owner.parts)));
            }
            // The finished parent leaves the list; a child that waits stays on
            // top. Found by its place, not searched for: a left-deep chain keeps
            // every unfinished parent on the list.
            waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(ownerAt));
        }
    }
    return root;
}

void Datastream::Write(const CComments& comments) {
    WriteLong(comments.Count());
    for (const CComment& comment : comments) {
        WriteLong(comment.LineNumber());
        WriteString(comment.Comment());
    }
}

void Datastream::Read(CComments& comments) {
    const int32_t count = ReadCount("comments", 6);
    for (int32_t i = 0; i < count; ++i) {
        auto comment = std::make_unique<CComment>();
        comment->SetLineNumber(ReadLong());
        comment->SetComment(ReadString());
        comments.AddComment(std::move(comment));
    }
}

void CProgram::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}
void CProgram::ReadStream(Datastream& objStream) {
    objStream.Read(*this);
}
void CStatements::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}
void CStatements::ReadStream(Datastream& objStream) {
    objStream.Read(*this);
}
void CStatement::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}
void CStatement::ReadStream(Datastream& objStream) {
    objStream.Read(*this);
}
void CExpressions::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}
void CExpressions::ReadStream(Datastream& objStream) {
    objStream.Read(*this);
}
void CExpression::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}

void CExpression::ReadStream(Datastream& objStream) {
    std::unique_ptr<CExpression> loaded = objStream.ReadExpression();
    SetExpressionType(loaded->ExpressionType());
    SetValue(std::move(loaded->Value()));
    SetOutPutPoints(Variant());
}

void CComments::WriteStream(Datastream& objStream) const {
    objStream.Write(*this);
}
void CComments::ReadStream(Datastream& objStream) {
    objStream.Read(*this);
}

}  // namespace vantreel
