#include <gtest/gtest.h>

#include "envelope_delay.h"
#include "synthetic_voice.h"

namespace {

MonoSignal voice(const SyntheticVoice& v) { return MonoSignal{v.sampleRate, makeSyntheticVoice(v)}; }

}  // namespace

TEST(EnvelopeDelay, EnvelopeIsTheRmsOfAWindowAroundEachStep)
{
    MonoSignal s;
    s.samples.assign(4410, 0.5);
    for (std::size_t i = 2205; i < s.samples.size(); ++i)
        s.samples[i] = -0.25;
    const std::vector<double> envelope = rmsEnvelope(s, 0.005, 0.001);
    ASSERT_EQ(envelope.size(), 100u);
    EXPECT_DOUBLE_EQ(envelope[10], 0.5);
    EXPECT_DOUBLE_EQ(envelope[90], 0.25);
}

// Output leading the input (negative) happens when the file tool drops the
// engine's start-up silence; the far end of the search range must work too.
TEST(EnvelopeDelay, FindsLagsAndLeadsAcrossTheSearchRange)
{
    for (double delay : {-0.300, -0.040, 0.0, 0.0123, 1.5, 2.95}) {
        SCOPED_TRACE(delay);
        SyntheticVoice in;
        in.seconds = 6;
        SyntheticVoice out = in;
        out.pitchRatio = 1.26;
        out.gain = 0.2;
        out.noiseRms = 0.003;
        MonoSignal input = voice(in), output;
        if (delay >= 0) {
            out.delaySeconds = delay;
            output = voice(out);
        } else {
            output = voice(out);
            output.samples.erase(output.samples.begin(),
                                 output.samples.begin() + static_cast<long>(-delay * out.sampleRate));
        }
        const DelayResult result = measureDelay(input, output);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_NEAR(result.seconds, delay, 0.002);
        EXPECT_GT(result.correlation, 0.8);
    }
}

TEST(EnvelopeDelay, RefusesWhatCannotBeCompared)
{
    SyntheticVoice v;
    const MonoSignal input = voice(v);
    MonoSignal constant;
    constant.samples.assign(input.samples.size(), 0.0);
    MonoSignal otherRate = input;
    otherRate.sampleRate = 48000;
    MonoSignal sliver;
    sliver.samples.assign(input.samples.begin(), input.samples.begin() + 4410);

    struct Case {
        const MonoSignal* output;
        const char* mention;
    };
    for (const Case& c : {Case{&constant, "never changes"}, Case{&otherRate, "different sample rates"},
                          Case{&sliver, "too short"}, Case{nullptr, "no audio"}}) {
        SCOPED_TRACE(c.mention);
        const DelayResult result = measureDelay(input, c.output ? *c.output : MonoSignal{});
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(c.mention), std::string::npos) << result.error;
    }
}
