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
    std::string text;
    AppendString(text);
    return text;
}

void CStatement::AppendString(std::string& out) const {
    const std::size_t start = out.size();
    if (lValue_) {
        lValue_->AppendString(out);
        if (out.size() > start) {
            out += '=';
        }
    }
    if (StatementType() == "LABEL") {
        // A label line is its last parameter between parentheses.
        if (objExpressions) {
            for (const CExpression& parameter : *objExpressions) {
                out.resize(start);
                out += '(';
                parameter.AppendString(out);
                out += ')';
            }
        }
        return;
    }
    out += StatementType();
    if (objExpressions && objExpressions->Count() > 0) {
        char separator = '/';
        for (const CExpression& parameter : *objExpressions) {
            out += separator;
            separator = ',';
            parameter.AppendString(out);
        }
    }
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
