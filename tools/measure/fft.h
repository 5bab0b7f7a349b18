#pragma once
#include <cstddef>
#include <vector>

// Radix-2 complex FFT of one fixed power-of-two size, on separate real and
// imaginary arrays, with its bit reversal and twiddles computed once: the
// pitch tracker runs thousands of them and must stay quick in debug builds.
class Fft {
public:
    explicit Fft(std::size_t size);

    std::size_t size() const { return n; }

    // In place; both arrays hold size() values. The inverse is scaled by
    // 1/size(), so forward then inverse gives the input back.
    void transform(std::vector<double>& re, std::vector<double>& im, bool inverse) const;

private:
    std::size_t n;
    std::vector<std::size_t> reversed;
    std::vector<double> cosines;  // cos(2 pi k / n), k < n/2
    std::vector<double> sines;    // sin(2 pi k / n), k < n/2
};

// The smallest power of two not below n (n >= 1).
std::size_t nextPowerOfTwo(std::size_t n);
