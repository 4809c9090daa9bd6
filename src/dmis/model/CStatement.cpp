#include "dmis/model/CStatement.h"

#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CStatements.h"
#include "dmis/model/ModelTeardown.h"

namespace vantreel {

CStatement::CStatement() = default;

static_assert(sizeof(CStatement) <= 48);

CStatement::~CStatement() {
    // Nested blocks are dismantled without recursion, whatever their depth. A
    // statement whose parts a teardown has taken already has nothing left.
    if (!lValue_ && (!objStatements || objStatements->Count() == 0) &&
        (!objExpressions || objExpressions->Count() == 0)) {
        return;
    }
    ModelTeardown teardown;
    teardown.AddChildrenOf(*this);
    teardown.Run();
}

void CStatement::SetLValue(std::unique_ptr<CExpression> lValue) {
    lValue_ = std::move(lValue);
}

std::unique_ptr<CExpression> CStatement::TakeLValue() noexcept {
    return std::move(lValue_);
}

std::string CStatement::BuildString() const {
    std::string text = lValue_ ? lValue_->BuildString() : std::string();
    if (!text.empty()) {
        text += '=';
    }
    if (StatementType() == "LABEL") {
        if (objExpressions) {
            for (const CExpression& parameter : *objExpressions) {
                text.assign(1, '(');
                text += parameter.BuildString();
                text += ')';
            }
        }
        return text;
    }
    text += StatementType();
    std::string parameters;
    if (objExpressions) {
        for (const CExpression& parameter : *objExpressions) {
            parameters += parameter.BuildString();
            parameters += ',';
        }
    }
    if (!parameters.empty()) {
        parameters.pop_back();
        text += '/';
        text += parameters;
    }
    return text;
}

void CStatement::Terminate(const ProgressCallback& progress) {
    ModelTeardown teardown(progress);
    teardown.AddChildrenOf(*this);
    teardown.Run();
    objStatements.reset();
    objExpressions.reset();
    lValue_.reset();
}

}  // namespace vantreel
