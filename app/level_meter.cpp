#include "app/level_meter.h"

#include <cstdint>
#include <cstring>

#include "app/main_window.h"

int LevelMeter::peakLevel = LevelMeter::INITIAL_PEAK_LEVEL;

unsigned int blockLevel(const WAVEHDR* slot)
{
    const std::uint32_t length = slot->dwBufferLength;
    // An empty block has no level; dividing by its length would fault.
    if (length == 0 || slot->lpData == nullptr) {
        return 0;
    }
    const std::uint32_t samples = length / 2;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(slot->lpData);
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, bytes + 2 * i, sizeof sample);
        sum += sample < 0 ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(sample))
                          : static_cast<std::uint32_t>(sample);
    }
    return (sum / length) / 2;
}

int meterSplit(int left, int right, int level, int peak)
{
    return left + (right - left) * level / peak;
}

void LevelMeter::update(const WAVEHDR* slot)
{
    const int level = static_cast<int>(blockLevel(slot));
    HDC context = GetDC(MainWindow::meterControl);
    RECT client;
    GetClientRect(MainWindow::meterControl, &client);
    if (level > peakLevel) {
        peakLevel = level;
    }
    const int split = meterSplit(client.left, client.right, level, peakLevel);
    RECT filled = {client.left, client.top, split, client.bottom};
    FillRect(context, &filled, fillBrush);
    RECT rest = {split, client.top, client.right, client.bottom};
    FillRect(context, &rest, backgroundBrush);
    ReleaseDC(MainWindow::meterControl, context);
}
