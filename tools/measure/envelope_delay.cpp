#include "envelope_delay.h"

#include <algorithm>
#include <cmath>

std::vector<double> rmsEnvelope(const MonoSignal& signal, double windowSeconds, double stepSeconds)
{
    const std::vector<double>& x = signal.samples;
    const double rate = signal.sampleRate;
    const std::size_t half = std::max<std::size_t>(1, static_cast<std::size_t>(windowSeconds * rate / 2));
    const double step = stepSeconds * rate;
    // Prefix sums of squares make every window one subtraction.
    std::vector<double> prefix(x.size() + 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        prefix[i + 1] = prefix[i] + x[i] * x[i];

    std::vector<double> envelope;
    for (std::size_t k = 0;; ++k) {
        const std::size_t centre = static_cast<std::size_t>(std::llround(static_cast<double>(k) * step));
        if (centre >= x.size())
            break;
        const std::size_t from = centre > half ? centre - half : 0;
        const std::size_t to = std::min(x.size(), centre + half);
        envelope.push_back(std::sqrt(std::max(0.0, prefix[to] - prefix[from]) / static_cast<double>(to - from)));
    }
    return envelope;
}

namespace {

// Pearson correlation of input[i] with output[i + lag] over the indices
// where both exist; `valid` is false when one side does not vary there.
double correlationAtLag(const std::vector<double>& in, const std::vector<double>& out, long lag, bool& valid)
{
    const long from = std::max(0L, -lag);
    const long to = std::min(static_cast<long>(in.size()), static_cast<long>(out.size()) - lag);
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (long i = from; i < to; ++i) {
        const double a = in[i], b = out[i + lag];
        sx += a;
        sy += b;
        sxx += a * a;
        syy += b * b;
        sxy += a * b;
    }
    const double n = static_cast<double>(to - from);
    const double varX = sxx - sx * sx / n, varY = syy - sy * sy / n;
    // Relative floors: rounding leaves tiny positive variances on constant runs.
    valid = varX > 1e-12 * sxx && varY > 1e-12 * syy && varX > 0 && varY > 0;
    return valid ? (sxy - sx * sy / n) / std::sqrt(varX * varY) : 0;
}

// How many input envelope values face output values at `lag`.
long overlapAtLag(std::size_t inSize, std::size_t outSize, long lag)
{
    return std::min(static_cast<long>(inSize), static_cast<long>(outSize) - lag) - std::max(0L, -lag);
}

}  // namespace

DelayResult measureDelay(const MonoSignal& input, const MonoSignal& output, const DelaySettings& settings)
{
    DelayResult result;
    if (input.sampleRate != output.sampleRate) {
        result.error = "the two files have different sample rates (" + std::to_string(input.sampleRate) +
                       " and " + std::to_string(output.sampleRate) + ")";
        return result;
    }
    const std::vector<double> in = rmsEnvelope(input, settings.envelopeSeconds, settings.stepSeconds);
    const std::vector<double> out = rmsEnvelope(output, settings.envelopeSeconds, settings.stepSeconds);
    if (in.empty() || out.empty()) {
        result.error = in.empty() ? "the input holds no audio" : "the output holds no audio";
        return result;
    }
    const long minOverlap = std::min(
        static_cast<long>(in.size()),
        std::max(static_cast<long>(std::ceil(settings.minOverlapSeconds / settings.stepSeconds)),
                 static_cast<long>(std::ceil(settings.minOverlapFraction * static_cast<double>(in.size())))));
    const long firstLag = -static_cast<long>(settings.maxLeadSeconds / settings.stepSeconds);
    const long lastLag = static_cast<long>(settings.maxDelaySeconds / settings.stepSeconds);

    // scores[k] and valid[k] belong to lag firstLag + k; lags without enough
    // overlap stay invalid.
    std::vector<double> scores(static_cast<std::size_t>(lastLag - firstLag + 1), 0.0);
    std::vector<bool> valid(scores.size(), false);
    bool anyOverlap = false;
    for (long lag = firstLag; lag <= lastLag; ++lag) {
        if (overlapAtLag(in.size(), out.size(), lag) < minOverlap)
            continue;
        anyOverlap = true;
        bool ok = false;
        const std::size_t k = static_cast<std::size_t>(lag - firstLag);
        scores[k] = correlationAtLag(in, out, lag, ok);
        valid[k] = ok;
    }
    std::size_t best = scores.size();
    for (std::size_t k = 0; k < scores.size(); ++k)
        if (valid[k] && (best == scores.size() || scores[k] > scores[best]))
            best = k;
    if (best == scores.size()) {
        result.error = anyOverlap ? "the level of the input or the output never changes"
                                  : "the output is too short to overlap the input";
        return result;
    }

    double refined = static_cast<double>(best);
    if (best > 0 && best + 1 < scores.size() && valid[best - 1] && valid[best + 1]) {
        const double left = scores[best - 1], mid = scores[best], right = scores[best + 1];
        const double curvature = left - 2 * mid + right;
        if (curvature < 0)
            refined += std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5);
    }
    refined += static_cast<double>(firstLag);
    result.seconds = refined * settings.stepSeconds;
    result.correlation = scores[best];
    return result;
}
