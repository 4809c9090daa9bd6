#include "common/ErrorNumber.h"
#include "common/TestRegistry.h"
#include "components/ComponentFactory.h"
#include "components/ContextServer.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kContextClass = "{7E1A0000-0000-4000-8000-000000000000}";
constexpr const char* kRecorderClass = "{7E1A0000-0000-4000-8000-000000000001}";

class ComponentFactoryTest : public RegistryTest {
  protected:
    // The message of the error CreateObject raises, checked to be 429.
    std::string CreateError(const std::string& progId) {
        try {
            CreateObject(progId);
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), 429) << error.Description();
            EXPECT_EQ(error.Source(), progId);
            return error.Description();
        }
        ADD_FAILURE() << progId << " was created";
        return {};
    }
};

struct LoadFailure {
    const char* name;
    std::string classId;
    std::string sharedObject;  // "" registers no InprocServer32
    const char* expected;      // part of the error's description
};

TEST_F(ComponentFactoryTest, EveryBrokenRegistrationGivesAClearError) {
    const std::string text = directory_.File("notelf.so");
    std::ofstream(text) << "this is not a shared object\n";
    const LoadFailure cases[] = {
        {"shared object missing", kRecorderClass, directory_.File("missing.so"),
         "missing.so' cannot be found: No such file or directory"},
        {"not loadable", kRecorderClass, text, "notelf.so' cannot be loaded: "},
        {"a directory", kRecorderClass, directory_.Path().string(), "is not a file"},
        {"no entry point", kRecorderClass, VANTREEL_NO_ENTRY_PLUGIN,
         "has no entry point VantreelGetClass"},
        {"unknown class", "{7E1A0000-0000-4000-8000-000000000099}", VANTREEL_TEST_PLUGIN,
         "has no class {7E1A0000-0000-4000-8000-000000000099}"},
        {"makes no object", "{7E1A0000-0000-4000-8000-0000000000EE}", VANTREEL_TEST_PLUGIN,
         "made no object"},
        {"other interface", "{7E1A0000-0000-4000-8000-0000000000FF}", VANTREEL_TEST_PLUGIN,
         "built for plug-in interface 99, this library uses 1"},
    };
    for (const LoadFailure& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string progId = std::string("Test.") + c.name;
        RegisterInprocServer(progId, c.classId, c.sharedObject);
        EXPECT_TRUE(IsObjectRegistered(progId));
        EXPECT_NE(CreateError(progId).find(c.expected), std::string::npos) << CreateError(progId);
    }
}

TEST_F(ComponentFactoryTest, RegistrationsWithoutClassOrServerAreNamed) {
    EXPECT_FALSE(IsObjectRegistered("Test.Nowhere"));
    EXPECT_NE(CreateError("Test.Nowhere").find("Test.Nowhere (the ProgID is not registered)"),
              std::string::npos);

    RegisterInprocServer("Test.NoServer", kRecorderClass, "");
    EXPECT_NE(CreateError("Test.NoServer").find("has no InprocServer32 registered"),
              std::string::npos);
}

TEST_F(ComponentFactoryTest, APluginObjectIsCalledByNameWithArgumentsByReference) {
    RegisterInprocServer("Test.Recorder", kRecorderClass, VANTREEL_TEST_PLUGIN);
    const std::unique_ptr<AutomationObject> object = CreateObject("test.recorder");
    ASSERT_NE(object, nullptr);

    std::vector<AutomationValue> twice{int32_t{21}};
    EXPECT_EQ(std::get<std::string>(object->Invoke("twice", twice)), "doubled 42");
    EXPECT_EQ(std::get<int32_t>(twice[0]), 42);

    const std::string information = directory_.File("partinfo.ini");
    std::vector<AutomationValue> edit{std::string("/parts/P1"), information, int32_t{1031}};
    EXPECT_TRUE(std::holds_alternative<std::monostate>(object->Invoke("EditPIF", edit)));
    std::ifstream log(information + ".calls");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, "Recorder1|/parts/P1|" + information + "|1031");

    std::vector<AutomationValue> none;
    EXPECT_EQ(ErrorNumber([&] { object->Invoke("Fail", none); }), 1004);
    EXPECT_EQ(ErrorNumber([&] { object->Invoke("NoSuchMethod", none); }), 438);
    std::vector<AutomationValue> wrong{std::string("x")};
    EXPECT_EQ(ErrorNumber([&] { object->Invoke("EditPIF", wrong); }), 5);
}

TEST_F(ComponentFactoryTest, AMakerInCodeComesBeforeTheRegistry) {
    RegisterInprocServer("Test.Both", kRecorderClass, directory_.File("missing.so"));
    class Fixed : public AutomationObject {
      public:
        AutomationValue Invoke(const std::string&, std::vector<AutomationValue>&) override {
            return std::string("from code");
        }
    };
    RegisterObject("Test.Both", [] { return std::make_unique<Fixed>(); });
    std::vector<AutomationValue> none;
    EXPECT_EQ(std::get<std::string>(CreateObject("Test.Both")->Invoke("Any", none)), "from code");
    RegisterObject("Test.Both", nullptr);
    EXPECT_NE(CreateError("Test.Both").find("cannot be found"), std::string::npos);
}

TEST_F(ComponentFactoryTest, TheContextServerIsLoadedFromTheRegistry) {
    EXPECT_FALSE(SobrelContextPresent());  // a station without one

    RegisterInprocServer("Daskoren.Application", kContextClass, VANTREEL_TEST_PLUGIN);
    EXPECT_TRUE(SobrelContextPresent());  // the test server knows Sobrel\Offline

    RegisterInprocServer("Daskoren.Application", kContextClass, directory_.File("gone.so"));
    EXPECT_EQ(ErrorNumber([] { SobrelContextPresent(); }), 429);
}

}  // namespace
}  // namespace vantreel::test
