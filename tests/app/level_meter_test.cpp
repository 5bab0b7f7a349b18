#include "app_test_support.h"

#include <cstdint>
#include <vector>

#include "app/level_meter.h"
#include "app/main_window.h"

namespace {

const COLORREF GREEN = RGB(0, 200, 0);
const COLORREF WHITE = RGB(255, 255, 255);

// A 1024-byte block of 512 equal samples.
struct Block {
    explicit Block(std::int16_t sample, int samples = 512) : data(samples, sample)
    {
        header.lpData = reinterpret_cast<LPSTR>(data.data());
        header.dwBufferLength = static_cast<DWORD>(data.size() * 2);
    }
    std::vector<std::int16_t> data;
    WAVEHDR header = {};
};

struct LevelCase {
    std::int16_t sample;
    unsigned int level;
};

class BlockLevelTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(BlockLevelTest, IsAQuarterOfTheMeanMagnitude)
{
    Block block(GetParam().sample);
    EXPECT_EQ(blockLevel(&block.header), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Samples, BlockLevelTest,
                         ::testing::Values(LevelCase{0, 0}, LevelCase{3, 0}, LevelCase{4, 1},
                                           LevelCase{-4, 1}, LevelCase{7, 1}, LevelCase{400, 100},
                                           LevelCase{-16384, 4096}, LevelCase{32767, 8191},
                                           LevelCase{-32768, 8192}));

TEST(BlockLevel, SumsMagnitudesOfMixedSamples)
{
    Block block(0);
    for (size_t i = 0; i < block.data.size(); ++i) {
        block.data[i] = (i % 2 == 0) ? 1000 : -3000;
    }
    // (256 * 1000 + 256 * 3000) / 1024 / 2
    EXPECT_EQ(blockLevel(&block.header), 500u);
}

TEST(BlockLevel, AnEmptyBlockHasNoLevel)
{
    WAVEHDR empty = {};
    EXPECT_EQ(blockLevel(&empty), 0u);
    std::int16_t sample = 1000;
    empty.lpData = reinterpret_cast<LPSTR>(&sample);
    EXPECT_EQ(blockLevel(&empty), 0u);
}

struct SplitCase {
    int left, right, level, peak, split;
};

class MeterSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(MeterSplitTest, TruncatesTheProportion)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(meterSplit(c.left, c.right, c.level, c.peak), c.split);
}

INSTANTIATE_TEST_SUITE_P(Bars, MeterSplitTest,
                         ::testing::Values(SplitCase{0, 133, 4096, 8192, 66},
                                           SplitCase{0, 133, 0, 1, 0},
                                           SplitCase{0, 133, 1, 1, 133},
                                           SplitCase{0, 133, 8192, 8192, 133},
                                           SplitCase{0, 133, 1, 8192, 0},
                                           SplitCase{0, 133, 100, 300, 44},
                                           SplitCase{10, 143, 4096, 8192, 76}));

class LevelMeterTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        window = createWindow();
        ASSERT_NE(window, nullptr);
        ShowWindow(MainWindow::meterControl, SW_SHOW);
        GetClientRect(MainWindow::meterControl, &client);
    }

    // The split point of the bar drawn by one update: two fills, green then white.
    int drawAndReadSplit(std::int16_t sample)
    {
        const size_t before = platformtest::fills().size();
        Block block(sample);
        LevelMeter::update(&block.header);
        const std::vector<platformtest::Fill> fills = platformtest::fills();
        EXPECT_EQ(fills.size(), before + 2);
        if (fills.size() != before + 2) {
            return -1;
        }
        const platformtest::Fill& filled = fills[before];
        const platformtest::Fill& rest = fills[before + 1];
        EXPECT_EQ(filled.window, MainWindow::meterControl);
        EXPECT_EQ(rest.window, MainWindow::meterControl);
        EXPECT_EQ(filled.color, GREEN);
        EXPECT_EQ(rest.color, WHITE);
        EXPECT_EQ(filled.rect.left, client.left);
        EXPECT_EQ(filled.rect.right, rest.rect.left);
        EXPECT_EQ(rest.rect.right, client.right);
        EXPECT_EQ(filled.rect.top, client.top);
        EXPECT_EQ(filled.rect.bottom, client.bottom);
        EXPECT_EQ(rest.rect.top, client.top);
        EXPECT_EQ(rest.rect.bottom, client.bottom);
        return filled.rect.right - client.left;
    }

    HWND window = nullptr;
    RECT client = {};
};

}  // namespace

TEST_F(LevelMeterTest, TheBorderedMeterIs133PixelsInside)
{
    EXPECT_EQ(client.right - client.left, 133);
    EXPECT_EQ(client.bottom - client.top, 18);
}

struct MeterStep {
    std::int16_t sample;
    int peakAfter;
    int split;
};

class LevelMeterSequenceTest : public LevelMeterTest,
                               public ::testing::WithParamInterface<std::vector<MeterStep>> {};

TEST_P(LevelMeterSequenceTest, DrawsEachBlockAgainstTheLoudestSoFar)
{
    int index = 0;
    for (const MeterStep& step : GetParam()) {
        SCOPED_TRACE("block " + std::to_string(index++));
        EXPECT_EQ(drawAndReadSplit(step.sample), step.split);
        EXPECT_EQ(LevelMeter::peakLevel, step.peakAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, LevelMeterSequenceTest,
    ::testing::Values(
        // Silence: an empty bar, the peak stays at 1.
        std::vector<MeterStep>{{0, 1, 0}, {0, 1, 0}},
        // A block of level 1 with the peak at 1 fills the whole bar.
        std::vector<MeterStep>{{4, 1, 133}},
        // The first louder block fills the bar; quieter ones after it draw shorter bars.
        std::vector<MeterStep>{{400, 100, 133}, {200, 100, 66}, {40, 100, 13}, {0, 100, 0}},
        // The 66-pixel case: level 4096 against a peak of 8192.
        std::vector<MeterStep>{{-32768, 8192, 133}, {-16384, 8192, 66}},
        // The peak never falls back, and rises again with a louder block.
        std::vector<MeterStep>{{4000, 1000, 133}, {8000, 2000, 133}, {4000, 2000, 66},
                               {2000, 2000, 33}}));
