#pragma once

#include "common/TestRegistry.h"
#include "partinfo/PartInfoRules.h"
#include "shared/Resources.h"

namespace vantreel::test {

// The printers a station offers in these tests, "Office" the default.
inline const PrinterList kPrinters{{"Office", "Lab_Laser", "Shop_Floor"}, "Office"};

// A private registry and the English string tables.
class EnglishRegistryTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        InitResources();
        int32_t language = 1033;
        SetLanguage(language);
    }
};

}  // namespace vantreel::test
