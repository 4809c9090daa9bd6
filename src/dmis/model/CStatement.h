#pragma once

#include "dmis/model/NodePool.h"

#include "dmis/model/LazyOwned.h"

#include "dmis/model/Progress.h"
#include "dmis/model/Variant.h"

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace vantreel {

class CExpression;
class Datastream;
class CExpressions;
class CStatements;

// One DMIS statement: its keyword, parameters, left-hand value and, for block
// statements (DO, IF, MEAS, MACRO, SELECT, ...), the nested block.
class CStatement : public Pooled<CStatement> {
  public:
    CStatement();
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    // Releases the object; its memory goes back to the heap unless an arena holds it.
    static void operator delete(CStatement* object, std::destroying_delete_t) noexcept {
        Destroy(object, object->inArena_);
    }
    using Pooled<CStatement>::operator delete;

    // The nested block (empty for simple statements) and the parameters in
    // source order; each is made when the first statement or parameter comes.
    LazyOwned<CStatements> objStatements;
    LazyOwned<CExpressions> objExpressions;

    // Upper-case keyword ("FEAT", "MEAS") or one of "LABEL", "IfBlock", "ElseBlock".
    std::string_view StatementType() const noexcept {
        return statementType_.IsEmpty() ? std::string_view() : statementType_.String();
    }
    void SetStatementType(std::string_view statementType) {
        statementType_ = Variant::FromString(statementType);
    }

    int32_t LineNumber() const noexcept { return lineNumber_; }
    void SetLineNumber(int32_t lineNumber) noexcept { lineNumber_ = lineNumber; }

    // Left-hand side (F(C1) in F(C1)=FEAT/...); null when the statement has none.
    CExpression* LValue() const noexcept { return lValue_.get(); }
    void SetLValue(std::unique_ptr<CExpression> lValue);
    std::unique_ptr<CExpression> TakeLValue() noexcept;

    void Initialize() noexcept {}

    // The DMIS text of the statement line: F(C1)=FEAT/CIRCLE,INNER.
    std::string BuildString() const;
    // The same text appended to out.
    void AppendString(std::string& out) const;

    // The Basic line of the statement.
    std::string BuildForBas();

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

    // Releases the nested block, the parameters and the left-hand value.
    void Terminate(const ProgressCallback& progress = {});

  private:
    Variant statementType_;  // words of up to 13 bytes need no block of their own
    int32_t lineNumber_ = 0;
    bool inArena_ = MadeInArena(this);
    std::unique_ptr<CExpression> lValue_;
};

}  // namespace vantreel
