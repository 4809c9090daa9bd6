#include "dmis/model/CProgram.h"

#include "dmis/model/CComments.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CStatements.h"
#include "dmis/model/ModelArena.h"
#include "dmis/model/OutputBuffer.h"

#include <ostream>

namespace vantreel {

CProgram::CProgram()
    : objStatements(std::make_unique<CStatements>()), objComments(std::make_unique<CComments>()) {}

CProgram::~CProgram() {
    Terminate();
}

void CProgram::PrettyPrint(std::ostream& file) const {
    OutputBuffer out(file);
    std::string& text = out.Text();
    if (!name_.empty()) {
        text += "DMISMN/";
        text += name_;
        text += '\n';
    }
    if (!fileName_.empty()) {
        text += "FILNAM/";
        text += fileName_;
        text += '\n';
    }
    if (objStatements) {
        objStatements->PrettyPrint(out, 4);
    }
    text += "ENDFIL\n";
    out.Flush();
}

ModelArena& CProgram::Arena() {
    if (!arena_) {
        arena_ = std::make_unique<ModelArena>();
    }
    if (!objStatements || (objStatements->Count() == 0 && !objStatements->InArena())) {
        const ArenaScope scope(*arena_);
        objStatements = std::make_unique<CStatements>();
    }
    return *arena_;
}

bool CProgram::MayDropArena(const ProgressCallback& progress) const noexcept {
    // A progress callback counts the statements as they go; a piece on the
    // heap (an edit, another program) could be hanging in this tree; a node
    // with an entry beside the nodes must leave the table.
    return arena_ && !progress && ModelHeap::Live() == 0 && CExpression::ExtrasInUse() == 0 &&
           (!objStatements || objStatements->InArena());
}

void CProgram::Terminate(const ProgressCallback& progress) {
    if (MayDropArena(progress)) {
        // Every object of the tree is in the arena and owns nothing elsewhere
        // but the declarations the Basic writer keeps on the top list.
        if (objStatements) {
            objStatements->colDecls.reset();
            (void)objStatements.release();
        }
    }
    if (objStatements) {
        objStatements->Terminate(progress);
        objStatements.reset();
    }
    if (objComments) {
        objComments->Terminate();
        objComments.reset();
    }
    arena_.reset();
}

}  // namespace vantreel
