#pragma once

#include "dmis/model/Variant.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace vantreel {

class CComments;
class CExpression;
class CExpressions;
class CProgram;
class CStatement;
class CStatements;

// Binary records on one file, little-endian: Long (4 bytes), Integer (2),
// String (Integer length, then the bytes), Marker (bytes without a length),
// Variant (type code, then the value) and File (Long size, String date, the
// bytes). The model classes save and load themselves with it.
//
// Without an open file every write or read raises error 5000 "Datastream"
// with message 1000. A stream that ends early raises error 62 "Input past end
// of file"; one that holds nonsense raises error 5000 with what is wrong.
class Datastream {
  public:
    Datastream();
    ~Datastream();
    Datastream(const Datastream&) = delete;
    Datastream& operator=(const Datastream&) = delete;

    // Opens sFile for writing from its start; bytes beyond what is written stay.
    bool WriteOpen(const std::string& sFile);
    void WriteMarker(std::string_view sMarker);
    void WriteString(std::string_view s);
    void WriteVariant(const Variant& v);
    void WriteLong(int32_t l);
    void WriteInteger(int16_t i);
    // Embeds a file with its size and last-modified date and time.
    void WriteFile(const std::string& sPath);
    void WriteClose();

    void ReadOpen(const std::string& sFile);
    bool ReadMarker(std::string_view sMarker);
    int32_t ReadLong();
    int16_t ReadInteger();
    std::string ReadString();
    Variant ReadVariant();
    // Extracts an embedded file to sPath with its date; when sPath exists and
    // is newer, the message box asks first (No keeps the file and skips).
    void ReadFile(const std::string& sPath);
    void SkipFile();
    void ReadClose();
    bool ReadEOF();

    // Model streams, in the layout the model classes' WriteStream and
    // ReadStream use.
    void Write(const CProgram& program);
    void Write(const CStatements& statements);
    void Write(const CStatement& statement);
    void Write(const CExpressions& expressions);
    void Write(const CExpression& expression);
    void Write(const CComments& comments);
    void Read(CProgram& program);
    void Read(CStatements& statements);
    void Read(CStatement& statement);
    void Read(CExpressions& expressions);
    std::unique_ptr<CExpression> ReadExpression();
    void Read(CComments& comments);

    // Nested blocks deeper than this are refused (statements are streamed
    // recursively; expressions of any depth are not).
    static constexpr int kMaxBlockDepth = 1000;

  private:
    void WriteBytes(const void* bytes, std::size_t size);
    void ReadBytes(void* bytes, std::size_t size);
    void Skip(uint64_t size);
    uint64_t ReadLeft();
    std::FILE* WriteFileHandle();
    std::FILE* ReadFileHandle();

    int32_t ReadCount(const char* what, uint64_t smallestItem);
    [[noreturn]] void Nonsense(const std::string& what) const;

    int blockDepth_ = 0;

    std::FILE* write_ = nullptr;
    std::FILE* read_ = nullptr;
    uint64_t readSize_ = 0;
};

}  // namespace vantreel
