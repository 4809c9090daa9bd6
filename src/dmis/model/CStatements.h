#pragma once

#include "dmis/model/NodePool.h"

#include "dmis/model/LazyOwned.h"
#include "dmis/model/OwnedCollection.h"
#include "dmis/model/Progress.h"
#include "dmis/model/Variant.h"

#include <iosfwd>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace vantreel {

class BasicWriter;
class Datastream;
class CStatement;
class OutputBuffer;

// An ordered list of statements: a program's top level or a nested block.
class CStatements : public Pooled<CStatements> {
  public:
    CStatements();
    ~CStatements();
    CStatements(const CStatements&) = delete;
    CStatements& operator=(const CStatements&) = delete;

    // Releases the object; its memory goes back to the heap unless an arena holds it.
    static void operator delete(CStatements* object, std::destroying_delete_t) noexcept {
        Destroy(object, object->inArena_);
    }
    using Pooled<CStatements>::operator delete;

    // Module-level declaration lines collected while Basic code is written
    // (made for the list that gets some).
    LazyOwned<std::vector<std::string>> colDecls;

    // Appends a statement and hands the same statement back.
    CStatement& AddStatement(std::unique_ptr<CStatement> objStatement);
    int32_t Count() const noexcept { return statements_.Count(); }
    CStatement& Item(int32_t vKeyIndex) const { return statements_.Item(vKeyIndex); }
    OwnedCollection<CStatement>::const_iterator begin() const { return statements_.begin(); }
    OwnedCollection<CStatement>::const_iterator end() const { return statements_.end(); }

    // Whether the list itself lives in an arena.
    bool InArena() const noexcept { return inArena_; }

    // Removes the last statement and hands it over; null when the list is empty.
    std::unique_ptr<CStatement> TakeLast();

    // Terminates and removes every statement, last to first, calling progress
    // once for every statement torn down (nested ones included).
    void RemoveAllFromCol(const ProgressCallback& progress = {});
    void Terminate(const ProgressCallback& progress = {});

    // Writes the statements as DMIS text, one line each, indented by iOffset
    // blanks, with the closing lines of their blocks.
    void PrettyPrint(std::ostream& file, int32_t iOffset) const;
    void PrettyPrint(OutputBuffer& out, int32_t iOffset) const;

    // Writes the statements as Basic lines indented by iOffset blanks.
    void WriteToBas(BasicWriter& writer, int32_t iOffset);

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

    // One last-in first-out stack of values shared by all statement lists of
    // the thread: SetNextVariable pushes, NextVariable pops (empty when the
    // stack is empty).
    static void SetNextVariable(Variant value);
    static Variant NextVariable();

  private:
    OwnedCollection<CStatement> statements_;
    bool inArena_ = MadeInArena(this);
};

}  // namespace vantreel
