#include "shared/ScreenMetrics.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "common/ErrorNumber.h"

namespace vantreel::test {
namespace {

struct ScreenCase {
    int width;  // twips, at 15 twips per pixel
    bool sobrel;
    float factor;
    int title, label, command, cmdWidth, cmdHeight, picWidth, picHeight;
};

TEST(ScreenMetrics, SizesByScreenWidth) {
    const ScreenCase cases[] = {
        {9600, false, 1.0f, 18, 10, 8, 825, 540, 2400, 840},
        {12000, false, 1.25f, 22, 10, 12, 1031, 675, 3000, 1050},
        {15360, false, 1.6f, 28, 12, 14, 1320, 864, 3840, 1344},
        {15360, true, 1.6f, 22, 10, 14, 1320, 864, 3840, 1344},
        {12000, true, 1.25f, 22, 10, 12, 1031, 675, 3000, 1050},
        {9600, true, 1.0f, 18, 10, 8, 825, 540, 2400, 840},
        {28800, false, 1.6f, 28, 12, 14, 1320, 864, 3840, 1344},
        {9614, false, 1.0f, 18, 10, 8, 825, 540, 2400, 840},  // 640.9 px: 640
    };
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + (c.sobrel ? " sobrel" : ""));
        int asked = 0;
        ScreenMetrics screen;
        screen.Initialize(c.width, 15, [&] {
            ++asked;
            return c.sobrel;
        });
        // Only a screen of neither 640 nor 800 pixels asks for the context.
        const int pixels = c.width / 15;
        EXPECT_EQ(asked, pixels == 640 || pixels == 800 ? 0 : 1);
        EXPECT_EQ(screen.ScreenWidthPix(), pixels);
        EXPECT_EQ(screen.SCALEFACTOR(), c.factor);
        EXPECT_EQ(screen.TitleFontSize(), c.title);
        EXPECT_EQ(screen.LabelFontSize(), c.label);
        EXPECT_EQ(screen.CmdButtonFontSize(), c.command);
        EXPECT_EQ(screen.CmdButtonWidth(), c.cmdWidth);
        EXPECT_EQ(screen.CmdButtonHeight(), c.cmdHeight);
        EXPECT_EQ(screen.PicButtonWidth(), c.picWidth);
        EXPECT_EQ(screen.PicButtonHeight(), c.picHeight);
        EXPECT_TRUE(screen.TouchScreen());
    }
}

TEST(ScreenMetrics, TouchOffAspectsAndErrors) {
    ScreenMetrics screen;
    screen.Initialize(9600, 15, nullptr);
    screen.SetXAspect(1.5f);
    EXPECT_EQ(screen.CmdButtonWidth(), 1238);  // 1237.5 goes to the even neighbour
    screen.SetXAspect(0);
    EXPECT_EQ(screen.XAspect(), 1.0f);
    screen.SetYAspect(-2);
    EXPECT_EQ(screen.YAspect(), 1.0f);
    screen.SetYAspect(2.0f);
    EXPECT_EQ(screen.CmdButtonHeight(), 1080);
    EXPECT_EQ(screen.PicButtonHeight(), 1680);
    screen.SetTouchScreen(false);
    EXPECT_EQ(screen.CmdButtonHeight(), 360);
    EXPECT_EQ(screen.CmdButtonWidth(), 1200);
    EXPECT_EQ(screen.CmdButtonFontSize(), 8);
    EXPECT_EQ(screen.LabelFontSize(), 8);
    EXPECT_EQ(screen.TitleFontSize(), 10);
    EXPECT_EQ(screen.PicButtonWidth(), 2400);  // picture buttons ignore touch mode
    // Initialize starts touch mode and the aspects afresh.
    screen.Initialize(9600, 15, nullptr);
    EXPECT_TRUE(screen.TouchScreen());
    EXPECT_EQ(screen.YAspect(), 1.0f);

    EXPECT_EQ(ErrorNumber([&] { screen.Initialize(9600, 0, nullptr); }), 11);
    // A context server that fails makes Initialize fail, only where it is asked.
    auto failing = []() -> bool { throw std::runtime_error("no server"); };
    EXPECT_THROW(screen.Initialize(15360, 15, failing), std::runtime_error);
    EXPECT_NO_THROW(screen.Initialize(12000, 15, failing));
}

TEST(ScreenMetrics, IntegerConversionAndTwips) {
    const std::pair<double, int> rounded[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {1031.25, 1031}, {864.0000228, 864}, {32767.4, 32767}};
    for (const auto& [value, expected] : rounded) {
        EXPECT_EQ(ScreenMetrics::ToInteger(value), expected) << value;
    }
    for (const double overflow : {32767.5, 40000.0, -32769.0}) {
        EXPECT_EQ(ErrorNumber([&] { (void)ScreenMetrics::ToInteger(overflow); }), 6) << overflow;
    }

    struct TwipsCase {
        int twips, dpi, pixels;
    };
    const TwipsCase twips[] = {
        {1440, 96, 96},   {1200, 96, 80},   {375, 96, 25},   {150, 96, 10},
        {7, 96, 0},       {8, 96, 1},                                        // 0.53 rounds up
        {1200, 120, 100}, {1080, 144, 108}, {-150, 96, -10}, {1440, 0, 96},  // no DPI: 96
    };
    for (const TwipsCase& c : twips) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
    EXPECT_EQ(TwipsPerPixel(0), 1440);
    EXPECT_EQ(TwipsPerPixel(5000), 1);
}

}  // namespace
}  // namespace vantreel::test
