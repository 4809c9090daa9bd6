#pragma once

#include "dmis/Progress.h"

#include <memory>
#include <vector>

namespace vantreel {

class CExpression;
class CStatement;

// Dismantles model subtrees with an explicit work list instead of recursion:
// each object's children are moved to the list before the object goes, so no
// destructor ever has more than one level below it.
class ModelTeardown {
  public:
    ModelTeardown();
    explicit ModelTeardown(const ProgressCallback& progress);
    ~ModelTeardown();
    ModelTeardown(const ModelTeardown&) = delete;
    ModelTeardown& operator=(const ModelTeardown&) = delete;

    void Add(std::unique_ptr<CStatement> statement);
    void Add(std::unique_ptr<CExpression> expression);

    // Moves the object's children (nested statements, parameters, left-hand
    // value; child nodes in Value, nodes in objExpressions) to the work list.
    void AddChildrenOf(CStatement& statement);
    void AddChildrenOf(CExpression& expression);

    // Releases everything on the work list; progress is called once for every
    // statement released.
    void Run();

  private:
    const ProgressCallback* progress_ = nullptr;
    std::vector<std::unique_ptr<CStatement>> statements_;
    std::vector<std::unique_ptr<CExpression>> expressions_;
};

}  // namespace vantreel
