#include "pitch_track.h"

#include <algorithm>
#include <cmath>

#include "fft.h"

namespace {

struct Lags {
    std::size_t window;
    std::size_t minLag;
    std::size_t maxLag;
};

double frameRms(const std::vector<double>& x, std::size_t start, std::size_t length)
{
    double sum = 0;
    for (std::size_t j = 0; j < length; ++j)
        sum += x[start + j] * x[start + j];
    return std::sqrt(sum / static_cast<double>(length));
}

// Working arrays for one frame's FFT correlation.
struct CorrelationScratch {
    explicit CorrelationScratch(std::size_t n) : fft(n), re(n), im(n), productRe(n), productIm(n) {}
    Fft fft;
    std::vector<double> re, im, productRe, productIm;
};

// r(tau) = sum over j < window of x[start + j] x[start + j + tau], for tau up
// to maxLag, left in scratch.productRe. The window and the longer span go
// through one complex FFT as its real and imaginary parts; the size holds
// window + maxLag, so no lag wraps around.
void correlate(const std::vector<double>& x, std::size_t start, const Lags& lags, CorrelationScratch& s)
{
    const std::size_t n = s.fft.size();
    const std::size_t spanLength = lags.window + lags.maxLag;
    const double* frame = x.data() + start;
    double* re = s.re.data();
    double* im = s.im.data();
    for (std::size_t j = 0; j < n; ++j) {
        re[j] = j < lags.window ? frame[j] : 0.0;
        im[j] = j < spanLength ? frame[j] : 0.0;
    }
    s.fft.transform(s.re, s.im, false);
    double* productRe = s.productRe.data();
    double* productIm = s.productIm.data();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t m = (n - k) % n;
        // Split Z into the window's transform A and the span's B, then form conj(A) B.
        const double ar = 0.5 * (re[k] + re[m]), ai = 0.5 * (im[k] - im[m]);
        const double br = 0.5 * (im[k] + im[m]), bi = -0.5 * (re[k] - re[m]);
        productRe[k] = ar * br + ai * bi;
        productIm[k] = ar * bi - ai * br;
    }
    s.fft.transform(s.productRe, s.productIm, true);
}

// Fills `dprime` (indices 0..maxLag) with the cumulative-mean-normalised
// difference of the frame at `start`: d(tau) = E(0) + E(tau) - 2 r(tau).
void normalisedDifference(const std::vector<double>& x, std::size_t start, const Lags& lags,
                          CorrelationScratch& scratch, std::vector<double>& dprime)
{
    correlate(x, start, lags, scratch);
    const std::vector<double>& r = scratch.productRe;

    double energyAtZero = 0;
    for (std::size_t j = 0; j < lags.window; ++j)
        energyAtZero += x[start + j] * x[start + j];
    double energyAtLag = energyAtZero;
    double runningSum = 0;
    dprime[0] = 1;
    for (std::size_t tau = 1; tau <= lags.maxLag; ++tau) {
        const double leaving = x[start + tau - 1];
        const double entering = x[start + tau - 1 + lags.window];
        energyAtLag += entering * entering - leaving * leaving;
        const double d = std::max(0.0, energyAtZero + energyAtLag - 2 * r[tau]);
        runningSum += d;
        dprime[tau] = runningSum > 0 ? d * static_cast<double>(tau) / runningSum : 1;
    }
}

// The lag of the first dip below the threshold, walked down to its local
// minimum and refined by a parabola through its neighbours; 0 when none.
double chooseLag(const std::vector<double>& dprime, const Lags& lags, double threshold, double& depth)
{
    for (std::size_t tau = lags.minLag; tau <= lags.maxLag; ++tau) {
        if (dprime[tau] >= threshold)
            continue;
        while (tau + 1 <= lags.maxLag && dprime[tau + 1] < dprime[tau])
            ++tau;
        depth = dprime[tau];
        // A minimum on the edge of the search range is not a period inside it.
        if (tau == lags.maxLag || tau == lags.minLag)
            return 0;
        const double left = dprime[tau - 1], mid = dprime[tau], right = dprime[tau + 1];
        const double curvature = left - 2 * mid + right;
        const double offset = curvature > 0 ? 0.5 * (left - right) / curvature : 0;
        return static_cast<double>(tau) + std::clamp(offset, -0.5, 0.5);
    }
    return 0;
}

}  // namespace

std::vector<PitchFrame> trackPitch(const MonoSignal& signal, const PitchTrackSettings& settings)
{
    const double rate = signal.sampleRate;
    Lags lags;
    lags.window = static_cast<std::size_t>(settings.frameSeconds * rate);
    lags.minLag = static_cast<std::size_t>(std::floor(rate / settings.maxHz));
    lags.maxLag = static_cast<std::size_t>(std::ceil(rate / settings.minHz));
    const std::size_t hop = std::max<std::size_t>(1, static_cast<std::size_t>(settings.hopSeconds * rate));
    const std::size_t span = lags.window + lags.maxLag + 1;
    const std::vector<double>& x = signal.samples;

    std::vector<PitchFrame> frames;
    if (lags.window == 0 || lags.minLag < 2 || x.size() < span)
        return frames;
    const std::size_t count = (x.size() - span) / hop + 1;
    frames.resize(count);

    std::vector<double> rms(count);
    double loudest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        rms[i] = frameRms(x, i * hop, lags.window);
        loudest = std::max(loudest, rms[i]);
    }
    const double gate = std::max(settings.silenceRms, loudest * std::pow(10.0, settings.energyGateDb / 20));

    CorrelationScratch scratch(nextPowerOfTwo(lags.window + lags.maxLag));
    std::vector<double> dprime(lags.maxLag + 1);
    for (std::size_t i = 0; i < count; ++i) {
        PitchFrame& frame = frames[i];
        frame.seconds = (static_cast<double>(i * hop) + 0.5 * static_cast<double>(lags.window)) / rate;
        if (rms[i] < gate)
            continue;
        normalisedDifference(x, i * hop, lags, scratch, dprime);
        double depth = 1;
        const double lag = chooseLag(dprime, lags, settings.dipThreshold, depth);
        if (lag > 0) {
            frame.hz = rate / lag;
            frame.clarity = 1 - depth;
        }
    }
    return frames;
}
