#include <gtest/gtest.h>

#include "scripted_clicks.h"

namespace {

std::string describe(const std::vector<zplat::ScriptedClick>& clicks)
{
    std::string text;
    for (const auto& click : clicks)
        text += std::to_string(click.tick) + "=" + click.caption + ";";
    return text;
}

TEST(ScriptedClicks, ParsesTicksAndCaptionsAndSkipsMalformedEntries)
{
    const struct { const char* text; const char* parsed; } cases[] = {
        {"", ""},
        {"40:Record,200:Stop", "40=Record;200=Stop;"},
        {"0:Start!", "0=Start!;"},
        {"10:Mail to friend", "10=Mail to friend;"},
        {"x:Record,5:,:Stop,-3:Record,7", ""},
        {"12Record,3:<,4:>", "3=<;4=>;"},
        {"5:a:b", "5=a:b;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(zplat::parseScriptedClicks(c.text)), c.parsed) << c.text;
}

}  // namespace
