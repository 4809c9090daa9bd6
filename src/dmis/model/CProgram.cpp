#include "dmis/model/CProgram.h"

#include "dmis/model/CComments.h"
#include "dmis/model/CStatements.h"
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
