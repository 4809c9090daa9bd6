#include "dmis/model/CProgram.h"

#include "dmis/model/CComments.h"
#include "dmis/model/CStatements.h"

#include <ostream>

namespace vantreel {

CProgram::CProgram()
    : objStatements(std::make_unique<CStatements>()), objComments(std::make_unique<CComments>()) {}

CProgram::~CProgram() {
    Terminate();
}

void CProgram::PrettyPrint(std::ostream& file) const {
    if (!name_.empty()) {
        file << "DMISMN/" << name_ << '\n';
    }
    if (!fileName_.empty()) {
        file << "FILNAM/" << fileName_ << '\n';
    }
    if (objStatements) {
        objStatements->PrettyPrint(file, 4);
    }
    file << "ENDFIL\n";
}

void CProgram::Terminate(const ProgressCallback& progress) {
    if (objStatements) {
        objStatements->Terminate(progress);
        objStatements.reset();
    }
    if (objComments) {
        objComments->Terminate();
        objComments.reset();
    }
}

}  // namespace vantreel
