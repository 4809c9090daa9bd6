#pragma once

#include "dmis/model/NodePool.h"

#include "dmis/model/Variant.h"

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace vantreel {

class CExpressions;
class Datastream;

// Kinds of expression nodes (CExpression::ExpressionType), from ExpressionKinds.def.
enum ExpressionKind : int32_t {
#define EXPRESSION_KIND(name, code) name = code,
#include "dmis/model/ExpressionKinds.def"
#undef EXPRESSION_KIND
};

// One node of an expression tree. Its Value holds text, a number, one child
// node, or an array of plain values and child nodes, shaped by the kind:
//   operators with two operands  array(0 To 2): empty, left node, right node
//   6, 10, 18, 26                one child node
//   9 label reference            array(1 To 2): label-type word, label name
//   15, 16, 27                   array(1 To 2 + n): name, count n (Integer), n items
//   14 colon number              array(1 To 4) as the scanner delivers it
//   others                       one plain value
class CExpression : public Pooled<CExpression> {
  public:
    CExpression();
    CExpression(int32_t expressionType, Variant value);
    ~CExpression();
    CExpression(const CExpression&) = delete;
    CExpression& operator=(const CExpression&) = delete;

    // Releases the object; its memory goes back to the heap unless an arena holds it.
    static void operator delete(CExpression* object, std::destroying_delete_t) noexcept {
        Destroy(object, object->inArena_);
    }
    using Pooled<CExpression>::operator delete;

    // The node's own expression list. Neither the parser nor the writers use
    // it, so it is made on first use: a node is then a few dozen bytes.
    CExpressions& objExpressions();
    bool HasExpressions() const noexcept { return hasExtras_ && ListedExpressions(); }
    // Whether releasing the node goes no deeper than its own children.
    bool IsShallow() const noexcept;

    int32_t ExpressionType() const noexcept { return expressionType_; }
    void SetExpressionType(int32_t expressionType) noexcept { expressionType_ = expressionType; }

    const Variant& Value() const noexcept { return value_; }
    Variant& Value() noexcept { return value_; }
    void SetValue(Variant value);

    // For a parameter of OUTPUT followed by a point list: array(0 To 0 or 1) of numbers.
    const Variant& OutPutPoints() const noexcept;
    void SetOutPutPoints(Variant points);

    void Initialize() noexcept {}

    // The DMIS text of the node and everything below it. Works without
    // recursion, so a tree of any depth prints.
    std::string BuildString() const;
    // The same text appended to out.
    void AppendString(std::string& out) const;

    // The Basic text of the node; minor words are kept as quoted text.
    std::string BuildForBas();

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

    // Releases the node's own expression list; the child nodes in Value go with the node.
    void Terminate();

    // The number of nodes that have an entry beside the nodes.
    static std::size_t ExtrasInUse() noexcept;

    // Builders for the shapes above.
    static std::unique_ptr<CExpression> Make(int32_t expressionType, Variant value = {});
    static std::unique_ptr<CExpression> MakeBinary(int32_t expressionType,
                                                   std::unique_ptr<CExpression> left,
                                                   std::unique_ptr<CExpression> right);
    static std::unique_ptr<CExpression> MakeUnary(int32_t expressionType,
                                                  std::unique_ptr<CExpression> operand);
    static std::unique_ptr<CExpression> MakeLabelRef(std::string labelType, std::string name);
    static std::unique_ptr<CExpression> MakeNamedList(int32_t expressionType, std::string name,
                                                      std::vector<Variant> items);

  private:
    // Whether the node's entry beside the nodes holds an expression list.
    bool ListedExpressions() const noexcept;

    Variant value_;
    int32_t expressionType_ = 0;
    // Whether the node has what almost no node has (its own expression list,
    // an OUTPUT point list), kept in a table beside the nodes.
    bool hasExtras_ = false;
    bool inArena_ = MadeInArena(this);
};

// True for the kinds whose Value is array(0 To 2) with two operand nodes.
bool IsBinaryKind(int32_t expressionType) noexcept;

// The node below the wrappings and signs (negation, NOT) that start at node;
// sign(kind) is called for each sign on the way down, outermost first, so a
// printer writes the signs before their operand without a work list.
template <class Node, class Sign>
Node* BelowWrappingsAndSigns(Node* node, Sign&& sign) {
    for (;;) {
        while (node->ExpressionType() == ekWrapped && node->Value().Object() != nullptr) {
            node = node->Value().Object();
        }
        const int32_t kind = node->ExpressionType();
        if ((kind != ekNegate && kind != ekNot) || node->Value().Object() == nullptr) {
            return node;
        }
        sign(kind);
        node = node->Value().Object();
    }
}

}  // namespace vantreel
