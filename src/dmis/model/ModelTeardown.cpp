#include "dmis/model/ModelTeardown.h"

#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"

namespace vantreel {

ModelTeardown::ModelTeardown() noexcept = default;
ModelTeardown::ModelTeardown(const ProgressCallback& progress) noexcept : progress_(&progress) {}
ModelTeardown::~ModelTeardown() {
    Run();
}

void ModelTeardown::Add(std::unique_ptr<CStatement> statement) noexcept {
    if (statement) {
        statements_.Push(std::move(statement));
    }
}

void ModelTeardown::Add(std::unique_ptr<CExpression> expression) noexcept {
    if (expression && expression->IsShallow()) {
        expression.reset();  // a word, a number, 1+2: released on the spot, one level deep
        return;
    }
    if (expression) {
        expressions_.Push(std::move(expression));
    }
}

void ModelTeardown::AddChildrenOf(CStatement& statement) noexcept {
    if (statement.objStatements) {
        while (std::unique_ptr<CStatement> child = statement.objStatements->TakeLast()) {
            Add(std::move(child));
        }
    }
    if (statement.objExpressions) {
        while (std::unique_ptr<CExpression> parameter = statement.objExpressions->TakeLast()) {
            Add(std::move(parameter));
        }
    }
    Add(statement.TakeLValue());
}

void ModelTeardown::AddChildrenOf(CExpression& expression) noexcept {
    if (expression.HasExpressions()) {
        while (std::unique_ptr<CExpression> node = expression.objExpressions().TakeLast()) {
            Add(std::move(node));
        }
    }
    Variant& value = expression.Value();
    if (value.IsObject()) {
        Add(value.TakeObject());
        return;
    }
    if (!value.IsArray()) {
        return;
    }
    // Arrays hold nodes and plain values. An array inside an array (no shape
    // of the model has one) goes with its Variant.
    for (Variant& element : value.Array().Elements()) {
        if (element.IsObject()) {
            Add(element.TakeObject());
        }
    }
}

void ModelTeardown::Run() {
    while (!statements_.Empty() || !expressions_.Empty()) {
        if (std::unique_ptr<CStatement> statement = statements_.Pop()) {
            if (progress_ != nullptr && *progress_) {
                (*progress_)();
            }
            AddChildrenOf(*statement);
        } else {
            std::unique_ptr<CExpression> expression = expressions_.Pop();
            AddChildrenOf(*expression);
        }
    }
}

}  // namespace vantreel
