#include "dmis/model/CExpression.h"

#include "dmis/model/CExpressions.h"
#include "dmis/model/DmisTables.h"
#include "dmis/model/ModelTeardown.h"
#include "dmis/model/NumberFormat.h"

#include <mutex>
#include <string_view>
#include <unordered_map>

namespace vantreel {

bool IsBinaryKind(int32_t expressionType) noexcept {
    return (expressionType >= ekAdd && expressionType <= ekPower) || expressionType == ekOr ||
           (expressionType >= ekEq && expressionType <= ekAnd);
}

namespace {

// What almost no node has, kept beside the nodes so that every node stays
// small: its own expression list and an OUTPUT point list.
struct Extras {
    std::unique_ptr<CExpressions> expressions;
    Variant outPutPoints;
};

struct ExtrasTable {
    std::mutex mutex;
    std::unordered_map<const CExpression*, Extras> byNode;
};

ExtrasTable& Table() {
    static ExtrasTable* table = new ExtrasTable;  // outlives every static model object
    return *table;
}

// The node's entry, made when missing. The entry stays where it is until the
// node goes, so references to it hold.
Extras& ExtrasOf(const CExpression* node) {
    ExtrasTable& table = Table();
    const std::lock_guard lock(table.mutex);
    return table.byNode[node];
}

const Extras* FindExtras(const CExpression* node) noexcept {
    ExtrasTable& table = Table();
    const std::lock_guard lock(table.mutex);
    const auto found = table.byNode.find(node);
    return found != table.byNode.end() ? &found->second : nullptr;
}

// Takes the node's entry out of the table; released by the caller, outside
// the lock (releasing an expression list releases nodes, which look here).
std::unordered_map<const CExpression*, Extras>::node_type TakeExtras(const CExpression* node) {
    ExtrasTable& table = Table();
    const std::lock_guard lock(table.mutex);
    return table.byNode.extract(node);
}

}  // namespace

std::size_t CExpression::ExtrasInUse() noexcept {
    ExtrasTable& table = Table();
    const std::lock_guard lock(table.mutex);
    return table.byNode.size();
}

CExpression::CExpression() = default;

CExpression::CExpression(int32_t expressionType, Variant value)
    : value_(std::move(value)), expressionType_(expressionType) {}

static_assert(sizeof(CExpression) <= 24);

CExpressions& CExpression::objExpressions() {
    Extras& extras = ExtrasOf(this);
    hasExtras_ = true;
    if (!extras.expressions) {
        extras.expressions = std::make_unique<CExpressions>();
    }
    return *extras.expressions;
}

bool CExpression::ListedExpressions() const noexcept {
    const Extras* extras = FindExtras(this);
    return extras != nullptr && extras->expressions != nullptr;
}

const Variant& CExpression::OutPutPoints() const noexcept {
    static const Variant kEmpty;
    const Extras* extras = hasExtras_ ? FindExtras(this) : nullptr;
    return extras != nullptr ? extras->outPutPoints : kEmpty;
}

void CExpression::SetOutPutPoints(Variant points) {
    if (points.IsEmpty() && !hasExtras_) {
        return;
    }
    Extras& extras = ExtrasOf(this);
    hasExtras_ = true;
    extras.outPutPoints = std::move(points);
}

namespace {

// A node without child nodes of its own.
bool IsLeaf(const CExpression& node) noexcept {
    return !node.Value().IsObject() && !node.Value().IsArray() && !node.HasExpressions();
}

// Whether releasing the node needs the work list: some child has children.
bool HasGrandchildren(const CExpression& node) noexcept {
    const Variant& value = node.Value();
    if (node.HasExpressions()) {
        return true;
    }
    if (const CExpression* child = value.Object()) {
        return !IsLeaf(*child);
    }
    if (value.IsArray()) {
        for (const Variant& element : value.Array().Elements()) {
            if (element.IsArray() || (element.Object() != nullptr && !IsLeaf(*element.Object()))) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool CExpression::IsShallow() const noexcept {
    return !HasGrandchildren(*this);
}

CExpression::~CExpression() {
    // Dismantle the subtree here, without recursion, so that a tree of any
    // depth goes without exhausting the stack. Children that are leaves (a
    // wrapped number, the operands of 1+2) simply go with the value.
    if (HasGrandchildren(*this)) {
        ModelTeardown teardown;
        teardown.AddChildrenOf(*this);
        teardown.Run();
    }
    if (hasExtras_) {
        TakeExtras(this);  // the entry goes when the handle does, outside the lock
    }
}

void CExpression::SetValue(Variant value) {
    value_ = std::move(value);
}

void CExpression::Terminate() {
    if (hasExtras_) {
        std::unique_ptr<CExpressions> list;
        {
            Extras& extras = ExtrasOf(this);
            list = std::move(extras.expressions);
        }
    }
}

std::unique_ptr<CExpression> CExpression::Make(int32_t expressionType, Variant value) {
    return std::make_unique<CExpression>(expressionType, std::move(value));
}

std::unique_ptr<CExpression> CExpression::MakeBinary(int32_t expressionType,
                                                     std::unique_ptr<CExpression> left,
                                                     std::unique_ptr<CExpression> right) {
    VariantArray operands(0, 3);
    operands[1] = Variant::FromObject(std::move(left));
    operands[2] = Variant::FromObject(std::move(right));
    return Make(expressionType, Variant::FromArray(std::move(operands)));
}

std::unique_ptr<CExpression> CExpression::MakeUnary(int32_t expressionType,
                                                    std::unique_ptr<CExpression> operand) {
    return Make(expressionType, Variant::FromObject(std::move(operand)));
}

std::unique_ptr<CExpression> CExpression::MakeLabelRef(std::string labelType, std::string name) {
    VariantArray parts(1, 2);
    parts[1] = Variant::FromString(std::move(labelType));
    parts[2] = Variant::FromString(std::move(name));
    return Make(ekLabelRef, Variant::FromArray(std::move(parts)));
}

std::unique_ptr<CExpression> CExpression::MakeNamedList(int32_t expressionType, std::string name,
                                                        std::vector<Variant> items) {
    VariantArray list(1, 0);
    list.Append(Variant::FromString(std::move(name)));
    list.Append(Variant::FromInteger(static_cast<int16_t>(items.size())));
    for (Variant& item : items) {
        list.Append(std::move(item));
    }
    return Make(expressionType, Variant::FromArray(std::move(list)));
}

namespace {

// Printing walks an explicit stack of pending pieces, pushed in reverse order.
struct Piece {
    const CExpression* node = nullptr;  // a node still to print
    const Variant* value = nullptr;     // a plain value to convert to text
    std::string_view text;              // literal text
};

// Appends the text of a tree to out.
class Printer {
  public:
    explicit Printer(std::string& out) : out_(out) {}

    void Print(const CExpression& root) {
        // Most nodes are a word or a (wrapped, negated) number: no work list
        // for them. A sign goes before its operand, so it is written at once.
        const CExpression* node =
            BelowWrappingsAndSigns(&root, [this](int32_t kind) { out_ += OperatorText(kind); });
        if (IsPlainValue(*node)) {
            AppendValueText(out_, node->Value());
            return;
        }
        if (AppendPlainLabelRef(*node)) {
            return;
        }
        pending_.clear();  // what an error left behind
        Expand(*node);
        while (!pending_.empty()) {
            const Piece piece = pending_.back();
            pending_.pop_back();
            if (piece.node != nullptr) {
                Expand(*piece.node);
            } else if (piece.value != nullptr) {
                AppendValueText(out_, *piece.value);
            } else {
                out_ += piece.text;
            }
        }
    }

  private:
    // A node that prints as the text of its plain value.
    static bool IsPlainValue(const CExpression& node) {
        const Variant& value = node.Value();
        if (value.IsObject() || value.IsArray() || IsBinaryKind(node.ExpressionType())) {
            return false;
        }
        switch (node.ExpressionType()) {
            case ekNegate:
            case ekNot:
            case ekParenthesized:
            case ekLabelRef:
            case ekDatumRef:
            case ekIndexedName:
            case ekFunctionCall:
            case ekText:
            case ekColonNumber:
            case ekTrue:
            case ekFalse:
                return false;
            default:
                return true;
        }
    }

    // F(P1) and the like, the most common node with parts: printed at once
    // when neither part is a node.
    bool AppendPlainLabelRef(const CExpression& node) {
        if (node.ExpressionType() != ekLabelRef || !node.Value().IsArray()) {
            return false;
        }
        const VariantArray& parts = node.Value().Array();
        if (parts.Count() != 2 || parts.LBound() != 1 || parts[1].IsObject() ||
            parts[2].IsObject()) {
            return false;
        }
        AppendValueText(out_, parts[1]);
        out_ += '(';
        AppendValueText(out_, parts[2]);
        out_ += ')';
        return true;
    }

    void PushText(std::string_view text) { pending_.push_back({nullptr, nullptr, text}); }

    // A child node prints as a node, anything else as its text.
    void PushElement(const Variant& element) {
        if (const CExpression* child = element.Object()) {
            pending_.push_back({child, nullptr, {}});
        } else {
            pending_.push_back({nullptr, &element, {}});
        }
    }

    // Value(1) "(" Value(3) [separator Value(4)] ")", the item count in Value(2).
    void PushItemList(const VariantArray& list, std::string_view separator) {
        const int32_t count = list.Count() >= 2 ? list[2].WholeNumber() : 0;
        PushText(")");
        if (count >= 2) {
            PushElement(list[4]);
            PushText(separator);
        }
        if (count >= 1) {
            PushElement(list[3]);
        }
        PushText("(");
        PushElement(list[1]);
    }

    void PushCall(const VariantArray& list) {
        const int32_t count = list.Count() >= 2 ? list[2].WholeNumber() : 0;
        PushText(")");
        for (int32_t i = count; i >= 1; --i) {
            PushElement(list[2 + i]);
            if (i > 1) {
                PushText(",");
            }
        }
        PushText("(");
        PushElement(list[1]);
    }

    void Expand(const CExpression& node) {
        const Variant& value = node.Value();
        const int32_t kind = node.ExpressionType();
        if (IsBinaryKind(kind)) {
            const VariantArray& operands = value.Array();
            PushElement(operands[2]);
            PushText(OperatorText(kind));
            PushElement(operands[1]);
            return;
        }
        switch (kind) {
            case ekNegate:
            case ekNot:
                PushElement(value);
                PushText(OperatorText(kind));
                return;
            case ekParenthesized:
                PushText(")");
                PushElement(value);
                PushText("(");
                return;
            case ekLabelRef: {
                const VariantArray& parts = value.Array();
                PushText(")");
                PushElement(parts[2]);
                PushText("(");
                PushElement(parts[1]);
                return;
            }
            case ekDatumRef:
                PushItemList(value.Array(), "-");
                return;
            case ekIndexedName:
                PushItemList(value.Array(), ",");
                return;
            case ekFunctionCall:
                PushCall(value.Array());
                return;
            case ekText:
                AppendQuotedText(value);
                return;
            case ekColonNumber: {
                const VariantArray& parts = value.Array();
                PushElement(parts[4]);
                PushText(":");
                PushElement(parts[3]);
                PushText(":");
                PushElement(parts[2]);
                return;
            }
            case ekTrue:
            case ekFalse:
                out_ += OperatorText(kind);
                return;
            default:
                PushElement(value);  // words, numbers, wrapped nodes and plain values
                return;
        }
    }

    // Text constants are held between double quotes and print between single quotes.
    void AppendQuotedText(const Variant& value) {
        const std::size_t start = out_.size();
        AppendValueText(out_, value);
        if (out_.size() > start && out_[start] == '"') {
            out_[start] = '\'';
        }
        if (out_.size() > start && out_.back() == '"') {
            out_.back() = '\'';
        }
    }

    std::string& out_;
    // One work list serves every print of the thread: printing a program
    // makes no list per expression.
    static thread_local std::vector<Piece> pending_;
};

thread_local std::vector<Piece> Printer::pending_;

}  // namespace

std::string CExpression::BuildString() const {
    std::string text;
    AppendString(text);
    return text;
}

void CExpression::AppendString(std::string& out) const {
    Printer(out).Print(*this);
}

}  // namespace vantreel
