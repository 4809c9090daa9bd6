#pragma once

#include "dmis/model/Progress.h"

#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace vantreel {

class CExpression;
class CStatement;

// A last-in first-out list of objects to release. The first few stay inside
// the object, so that releasing a small subtree allocates nothing. Pushing
// never throws: when memory for the list runs out, the object is released on
// the spot (its destructor dismantles its own subtree).
template <class T>
class TeardownList {
  public:
    void Push(std::unique_ptr<T> object) noexcept {
        if (more_.empty() && inlineCount_ < kInline) {
            inline_[inlineCount_++] = std::move(object);
            return;
        }
        try {
            more_.push_back(std::move(object));
        } catch (const std::bad_alloc&) {
            // object still owns it and releases it when this call ends
        }
    }
    std::unique_ptr<T> Pop() noexcept {
        if (!more_.empty()) {
            std::unique_ptr<T> object = std::move(more_.back());
            more_.pop_back();
            return object;
        }
        return inlineCount_ > 0 ? std::move(inline_[--inlineCount_]) : nullptr;
    }
    bool Empty() const noexcept { return inlineCount_ == 0 && more_.empty(); }

  private:
    static constexpr std::size_t kInline = 8;
    std::array<std::unique_ptr<T>, kInline> inline_;
    std::size_t inlineCount_ = 0;
    std::vector<std::unique_ptr<T>> more_;
};

// Dismantles model subtrees with an explicit work list instead of recursion:
// each object's children are moved to the list before the object goes, so no
// destructor ever has more than one level below it. Nothing here throws, so
// a model can be released while memory is exhausted.
class ModelTeardown {
  public:
    ModelTeardown() noexcept;
    explicit ModelTeardown(const ProgressCallback& progress) noexcept;
    ~ModelTeardown();
    ModelTeardown(const ModelTeardown&) = delete;
    ModelTeardown& operator=(const ModelTeardown&) = delete;

    void Add(std::unique_ptr<CStatement> statement) noexcept;
    void Add(std::unique_ptr<CExpression> expression) noexcept;

    // Moves the object's children (nested statements, parameters, left-hand
    // value; child nodes in Value, nodes in objExpressions) to the work list.
    void AddChildrenOf(CStatement& statement) noexcept;
    void AddChildrenOf(CExpression& expression) noexcept;

    // Releases everything on the work list; progress is called once for every
    // statement released.
    void Run();

  private:
    const ProgressCallback* progress_ = nullptr;
    TeardownList<CStatement> statements_;
    TeardownList<CExpression> expressions_;
};

}  // namespace vantreel
