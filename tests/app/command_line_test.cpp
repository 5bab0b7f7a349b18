#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

struct CommandLineCase {
    const char* commandLine;
    int pitch;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, ReadsTheStartingPitch)
{
    EXPECT_EQ(pitchFromCommandLine(GetParam().commandLine, 6), GetParam().pitch);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommandLineTest,
    ::testing::Values(CommandLineCase{nullptr, 6}, CommandLineCase{"", 6},
                      CommandLineCase{"pitch", 6}, CommandLineCase{"-5", -5},
                      CommandLineCase{"   3", 3}, CommandLineCase{"\t\r\n 3", 3},
                      CommandLineCase{"7 semitones", 7}, CommandLineCase{"+12", 12},
                      CommandLineCase{"0", 0}, CommandLineCase{"12abc", 12},
                      CommandLineCase{"-", 6}, CommandLineCase{"+ 4", 6},
                      CommandLineCase{"x5", 6}, CommandLineCase{"48", 48},
                      CommandLineCase{"-48", -48},
                      // Beyond the bounds: the nearest bound, also past an int's range.
                      CommandLineCase{"49", 48}, CommandLineCase{"-49", -48},
                      CommandLineCase{"160", 48}, CommandLineCase{"-1000", -48},
                      CommandLineCase{"99999999999999999999", 48},
                      CommandLineCase{"-99999999999999999999", -48},
                      CommandLineCase{"0000000000000000000012", 12}));

TEST(CommandLine, KeepsTheCurrentPitchWithoutAnInteger)
{
    EXPECT_EQ(pitchFromCommandLine("none", -3), -3);
    EXPECT_EQ(pitchFromCommandLine("2", -3), 2);
}

}  // namespace
