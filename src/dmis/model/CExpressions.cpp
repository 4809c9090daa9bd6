#include "dmis/model/CExpressions.h"

#include "dmis/model/CExpression.h"

namespace vantreel {

CExpressions::CExpressions() = default;
CExpressions::~CExpressions() = default;

CExpression& CExpressions::AddExpression(std::unique_ptr<CExpression> objExpression) {
    return expressions_.Add(std::move(objExpression));
}

void CExpressions::RemoveAllFromCol() {
    while (std::unique_ptr<CExpression> node = expressions_.TakeLast()) {
        node->Terminate();
    }
}

}  // namespace vantreel
