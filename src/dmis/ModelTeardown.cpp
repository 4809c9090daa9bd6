#include "dmis/ModelTeardown.h"

#include "dmis/CExpression.h"
#include "dmis/CExpressions.h"
#include "dmis/CStatement.h"
#include "dmis/CStatements.h"

namespace vantreel {

ModelTeardown::ModelTeardown() = default;
ModelTeardown::ModelTeardown(const ProgressCallback& progress) : progress_(&progress) {}
ModelTeardown::~ModelTeardown() {
    Run();
}

void ModelTeardown::Add(std::unique_ptr<CStatement> statement) {
    if (statement) {
        statements_.push_back(std::move(statement));
    }
}

void ModelTeardown::Add(std::unique_ptr<CExpression> expression) {
    if (expression) {
        expressions_.push_back(std::move(expression));
    }
}

void ModelTeardown::AddChildrenOf(CStatement& statement) {
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

void ModelTeardown::AddChildrenOf(CExpression& expression) {
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
    // Arrays hold nodes and plain values; an array inside an array (no shape
    // of the model has one) is walked with a list, not by recursion.
    std::vector<Variant*> nested{&value};
    while (!nested.empty()) {
        VariantArray& array = nested.back()->Array();
        nested.pop_back();
        for (Variant& element : array.Elements()) {
            if (element.IsObject()) {
                Add(element.TakeObject());
            } else if (element.IsArray()) {
                nested.push_back(&element);
            }
        }
    }
}

void ModelTeardown::Run() {
    while (!statements_.empty() || !expressions_.empty()) {
        if (!statements_.empty()) {
            std::unique_ptr<CStatement> statement = std::move(statements_.back());
            statements_.pop_back();
            if (progress_ != nullptr && *progress_) {
                (*progress_)();
            }
            AddChildrenOf(*statement);
        } else {
            std::unique_ptr<CExpression> expression = std::move(expressions_.back());
            expressions_.pop_back();
            AddChildrenOf(*expression);
        }
    }
}

}  // namespace vantreel
