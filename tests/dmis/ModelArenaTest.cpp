#include "dmis/DmisFile.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/model/ModelArena.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace vantreel {
namespace {

// Blocks, label references (arrays), long texts, binary operators and
// parameters the parser tries in several ways before one fits.
constexpr const char* kProgram =
    "DMISMN/'ARENA PROGRAM',05.2\n"
    "UNITS/MM,ANGDEC\n"
    "DECL/LOCAL,DOUBLE,X\n"
    "X=ASSIGN/(1+2)*3-4/5\n"
    "F(A_VERY_LONG_FEATURE_LABEL_NAME)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,12\n"
    "MEAS/CIRCLE,F(A_VERY_LONG_FEATURE_LABEL_NAME),4\n"
    "  PTMEAS/CART,1,2,3,-1,0,0\n"
    "  PTMEAS/CART,4,5,6,0,-1,0\n"
    "ENDMES\n"
    "T(DIA)=TOL/DIAM,-0.010,0.020\n"
    "OUTPUT/FA(A_VERY_LONG_FEATURE_LABEL_NAME),TA(DIA)\n"
    "TEXT/OPER,'a text far longer than thirteen bytes'\n"
    "ENDFIL\n";

std::string Listing(const CProgram& program) {
    std::ostringstream out;
    program.PrettyPrint(out);
    return out.str();
}

std::unique_ptr<CProgram> Parsed() {
    auto program = std::make_unique<CProgram>();
    const DmisFileResult result = ParseDmisText(kProgram, "arena.dmi", *program);
    EXPECT_TRUE(result.ok) << result.message;
    return program;
}

std::unique_ptr<CExpression> HeapWord(const char* word) {
    return CExpression::Make(ekWord, Variant::FromString(word));
}

// Whatever happens to a parsed program after the parse, releasing it gives
// back every piece it took from the heap: none is lost with the arena, and
// none is released twice (the sanitizer run checks the latter).
struct AfterParse {
    const char* name;
    std::function<void(CProgram&)> change;
    bool withProgress;
};

TEST(ModelArena, ReleasingAProgramLeavesNoModelObjectOnTheHeap) {
    const std::vector<AfterParse> cases = {
        {"untouched", [](CProgram&) {}, false},
        {"untouched, released with progress", [](CProgram&) {}, true},
        {"a statement from the heap appended",
         [](CProgram& program) {
             auto statement = std::make_unique<CStatement>();
             statement->SetStatementType("TEXT");
             statement->objExpressions->AddExpression(HeapWord("A_LONG_HEAP_WORD_OF_TEXT"));
             program.objStatements->AddStatement(std::move(statement));
         },
         false},
        {"a heap node inside an arena statement",
         [](CProgram& program) {
             program.objStatements->Item(2).objExpressions->AddExpression(HeapWord("CM"));
         },
         false},
        {"a heap left-hand value replacing an arena one",
         [](CProgram& program) {
             program.objStatements->Item(5).SetLValue(CExpression::MakeLabelRef("F", "HEAP"));
         },
         false},
        {"an arena statement taken out and released",
         [](CProgram& program) { program.objStatements->TakeLast().reset(); }, false},
        {"an arena node given a list beside the nodes",
         [](CProgram& program) {
             program.objStatements->Item(2).objExpressions->Item(1).objExpressions();
         },
         false},
    };
    const std::size_t before = ModelHeap::Live();
    for (const AfterParse& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CProgram> program = Parsed();
        EXPECT_EQ(ModelHeap::Live(), before) << "the parse put model objects on the heap";
        c.change(*program);
        int statements = 0;
        program->Terminate(c.withProgress ? ProgressCallback([&] { ++statements; })
                                          : ProgressCallback());
        if (c.withProgress) {
            EXPECT_EQ(statements, 13);  // the nested ones included
        }
        program.reset();
        EXPECT_EQ(ModelHeap::Live(), before);
        EXPECT_EQ(CExpression::ExtrasInUse(), 0u);
    }
}

TEST(ModelArena, AParsedProgramListsAsOneBuiltOnTheHeap) {
    const std::unique_ptr<CProgram> parsed = Parsed();
    const std::string listing = Listing(*parsed);
    EXPECT_NE(listing.find("MEAS/CIRCLE,F(A_VERY_LONG_FEATURE_LABEL_NAME),4"), std::string::npos);
    EXPECT_NE(listing.find("TEXT/OPER,'a text far longer than thirteen bytes'"), std::string::npos);
    // The same program parsed twice into one object: the second parse goes
    // on in the same arena.
    CProgram twice;
    ASSERT_TRUE(ParseDmisText(kProgram, "a.dmi", twice).ok);
    twice.Terminate();
    ASSERT_TRUE(ParseDmisText(kProgram, "b.dmi", twice).ok);
    EXPECT_EQ(Listing(twice), listing);
}

TEST(ModelArena, ObjectsKnowWhereTheyLive) {
    ModelArena arena;
    std::unique_ptr<CExpression> inArena;
    std::unique_ptr<CStatement> statement;
    {
        const ArenaScope scope(arena);
        inArena = HeapWord("INSIDE_AN_ARENA_LONG_TEXT");
        statement = std::make_unique<CStatement>();
        statement->objExpressions->AddExpression(CExpression::MakeLabelRef("F", "C1"));
    }
    const std::size_t before = ModelHeap::Live();
    std::unique_ptr<CExpression> onHeap = HeapWord("OUTSIDE_ANY_ARENA_LONG_TEXT");
    EXPECT_EQ(ModelHeap::Live(), before + 2);  // the node and its long text
    // Released outside the scope: arena memory stays with the arena, heap
    // memory goes back to the heap.
    inArena.reset();
    statement.reset();
    EXPECT_EQ(ModelHeap::Live(), before + 2);
    onHeap.reset();
    EXPECT_EQ(ModelHeap::Live(), before);
}

TEST(ModelArena, NodesLetGoAreCutAgainFromTheSameBlocks) {
    ModelArena arena;
    const ArenaScope scope(arena);
    std::vector<const void*> released;
    for (int i = 0; i < 100; ++i) {
        auto node = HeapWord("A");
        released.push_back(node.get());
    }
    // One node made and released a hundred times takes one block.
    EXPECT_EQ(released.front(), released.back());
    // Blocks of every size come from chunks, a large one from its own.
    const std::size_t reserved = arena.BytesReserved();
    for (int i = 0; i < 100000; ++i) {
        (void)arena.Allocate(24);
    }
    EXPECT_GT(arena.BytesReserved(), reserved);
    const void* large = arena.Allocate(std::size_t{8} << 20);
    EXPECT_NE(large, nullptr);
    EXPECT_FALSE(arena.InCurrentChunk(large));
}

// The empty list an absent block or parameter list reads as is shared by the
// whole process: made the first time, even inside a parse, it must neither be
// cut from that program's arena (it would go with it) nor count as a model
// object on the heap (no program could drop its arena any more). A process of
// its own, so that the list is made here for the first time.
TEST(ModelArenaDeathTest, TheSharedEmptyListIsNoModelObject) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::size_t before = ModelHeap::Live();
            {
                ModelArena arena;
                const ArenaScope scope(arena);
                const CStatement statement;
                if (statement.objStatements->Count() != 0 ||
                    statement.objExpressions->Count() != 0) {
                    std::_Exit(2);
                }
            }
            const CStatement other;  // the arena is gone
            if (other.objStatements->Count() != 0 || other.objExpressions->Count() != 0) {
                std::_Exit(3);
            }
            std::_Exit(ModelHeap::Live() == before ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vantreel
