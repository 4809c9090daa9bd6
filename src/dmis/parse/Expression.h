#pragma once

#include "dmis/model/CExpression.h"
#include "dmis/parse/ParseMessage.h"

#include <functional>
#include <memory>
#include <string>

namespace vantreel {

class ParseContext;
class Scanner;

using ExpressionNode = std::unique_ptr<CExpression>;

// The DMIS expression parser: recursive descent with backtracking over the
// scanner's tokens. Every routine returns whether it parsed; a failure moves
// the scanner back and records a message and a severity there (1 a real
// error, 2 a soft failure, 3 and 4 repositioning). A routine that parses puts
// a new node into its output (which may be empty before); one that fails
// leaves the output as it was. Nodes are made only for what was parsed.
class ExpressionParser {
  public:
    // nextParameter parses "," and one more parameter; the statement parser
    // supplies it, and function calls use it for their further arguments.
    using NextParameter = std::function<bool(ExpressionNode&)>;

    ExpressionParser(Scanner& scanner, ParseContext& context, NextParameter nextParameter);

    // One statement parameter: a lone value before "," or the line end takes
    // the quick path, anything else the full grammar.
    bool ParseParameter(ExpressionNode& out);
    // A full expression: .OR. of .AND. of .NOT. of relations of sums ...
    bool ParseExpression(ExpressionNode& out);
    // A label reference such as F(C1), for a label type of the 38-word table.
    bool ParseLabelRef(ExpressionNode& out);
    // NAME = followed by ASSIGN, OBTAIN or VALUE (which is read next).
    bool ParseAssignTarget(ExpressionNode& out);
    // A label or datum name: a word or an integer of at most 64 characters.
    bool ParseLabelName(std::string& name);

    // Records a failure: the message with the current token's line, then a
    // move back to p0. Always false.
    bool Fail(int32_t p0, int16_t severity, ParseMessage::Shape shape, int32_t id,
              std::string extra = {});

  private:
    enum class Level { Or, And, Relation, Sum, Product, Power };

    bool ParseAndTerm(ExpressionNode& out);
    bool ParseNotTerm(ExpressionNode& out);
    bool ParseRelation(ExpressionNode& out);
    bool ParseSum(ExpressionNode& out);
    bool ParseProduct(ExpressionNode& out);
    bool ParseSignedFactor(ExpressionNode& out);
    bool ParsePower(ExpressionNode& out);
    bool ParsePrimary(ExpressionNode& out);
    bool ParseIndexedName(ExpressionNode& out);
    bool ParseConstant(ExpressionNode& out);
    bool ParseSignedConstant(ExpressionNode& out);
    bool ParseUnsignedConstant(ExpressionNode& out);
    bool ParseLiteral(ExpressionNode& out);
    bool ParseDatumRef(ExpressionNode& out);
    bool ParseFunctionCall(ExpressionNode& out);
    bool ParseName(ExpressionNode& out);
    bool ParseParenthesized(ExpressionNode& out);
    // .TRUE. or .FALSE. as an operand (A .EQ. .FALSE.): the extended dialect
    // only (ExtendedRules.cpp).
    bool ParseLogicalConstant(ExpressionNode& out);
    // A parameter that is one label reference, from p0 on, its first word at
    // p1: true when it is, with the state the full grammar leaves; false
    // leaves a message to be overwritten.
    bool ParseLoneLabelRef(int32_t p0, int32_t p1, ExpressionNode& out);
    // Records the label of a reference as defined (a reference defines it).
    void RegisterLabelRef(const CExpression& label);
    // A label referenced before anything defined it (extended dialect only).
    void NoteForwardReference(const std::string& key);

    // A level with a tail: the operand, then { operator operand }.
    bool ParseLevel(Level level, ExpressionNode& out);
    bool ParseOperand(Level level, ExpressionNode& out);
    // The operator tail of a level, as a loop: left-associative, and on a
    // failure every operator of the chain records its message, innermost first.
    bool Tail(Level level, ExpressionNode left, ExpressionNode& out);
    // A prefix level (.NOT. or "-") that may repeat, as a loop.
    bool ParsePrefixed(int16_t prefixToken, int32_t kind, ExpressionNode& out);

    Scanner& scanner_;
    ParseContext& context_;
    NextParameter nextParameter_;
    std::string labelKey_;   // the registry key of the label reference just read
    std::string labelName_;  // the name of the label reference being read
};

}  // namespace vantreel
