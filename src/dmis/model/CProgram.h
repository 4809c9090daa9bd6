#pragma once

#include "dmis/model/Progress.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace vantreel {

class CComments;
class ModelArena;
class Datastream;
class CStatements;

// The root of a parsed DMIS program: its statements and its comment lines.
class CProgram {
  public:
    CProgram();
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    std::unique_ptr<CStatements> objStatements;  // top-level statements
    std::unique_ptr<CComments> objComments;      // every comment line of the source

    // The text that followed "FILNAM/" in the source.
    const std::string& FileName() const noexcept { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

    // The text that followed "DMISMN/" in the source.
    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // Writes the program as a DMIS listing: DMISMN and FILNAM when set, the
    // statements indented by four blanks, then ENDFIL.
    void PrettyPrint(std::ostream& file) const;

    // Writes the program as the Basic modules "modMain" and the support
    // module (see BasicWriter).
    void WriteToBas(std::ostream& modMain, std::ostream& modSupport);

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

    // Releases the statements (calling progress once for each statement torn
    // down) and the comments. Also done when the program is destroyed.
    void Terminate(const ProgressCallback& progress = {});

    // The arena that holds what is built into this program (made on first
    // use). Whoever builds the model (parser, stream reader) makes it current
    // with an ArenaScope; the program then goes with its arena. The
    // statement list is made in the arena when it is missing or still empty. The program and
    // its arena are used by one thread at a time.
    ModelArena& Arena();

  private:
    // Whether Terminate may drop the arena without releasing objects one by
    // one: nothing in the process lives on the model heap or beside the nodes.
    bool MayDropArena(const ProgressCallback& progress) const noexcept;

    std::unique_ptr<ModelArena> arena_;
    std::string fileName_;
    std::string name_;
};

}  // namespace vantreel
