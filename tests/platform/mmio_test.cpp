#include "platform_test_support.h"

#include <cstring>

namespace {

// Little-endian helpers for the expected bytes.
std::string number32(DWORD value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string number16(WORD value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

class Mmio : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platformtest::setDriveRoot(scratch);
        std::filesystem::create_directories(path("Desktop"));
        format = WAVEFORMATEX{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    }
    HMMIO create() {
        char name[] = "C:\\DESKTOP\\Zimbalo Record.wav";
        return mmioOpenA(name, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE | MMIO_ALLOCBUF);
    }
    // What the recorder does: the header chunks, the blocks, then the finish.
    void record(int blocks) {
        HMMIO file = create();
        ASSERT_NE(file, nullptr);
        MMCKINFO riff{};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        EXPECT_EQ(mmioCreateChunk(file, &riff, MMIO_CREATERIFF), 0u);
        MMCKINFO sub{};
        sub.ckid = mmioFOURCC('f', 'm', 't', ' ');
        sub.cksize = 18;
        EXPECT_EQ(mmioCreateChunk(file, &sub, 0), 0u);
        EXPECT_EQ(mmioWrite(file, reinterpret_cast<const char*>(&format), 18), 18);
        EXPECT_EQ(mmioAscend(file, &sub, 0), 0u);
        sub.ckid = mmioFOURCC('d', 'a', 't', 'a');
        EXPECT_EQ(mmioCreateChunk(file, &sub, 0), 0u);
        EXPECT_EQ(sub.dwDataOffset, 46u);
        for (int b = 0; b < blocks; ++b) {
            std::string block(1024, static_cast<char>(b + 1));
            EXPECT_EQ(mmioWrite(file, block.data(), 1024), 1024);
        }
        EXPECT_EQ(mmioAscend(file, &sub, 0), 0u);
        EXPECT_EQ(mmioAscend(file, &riff, 0), 0u);
        EXPECT_EQ(mmioClose(file, 0), 0u);
    }
    std::string expected(int blocks) {
        DWORD n = static_cast<DWORD>(1024 * blocks);
        std::string bytes = "RIFF" + number32(38 + n) + "WAVE" + "fmt " + number32(18) + number16(1) +
                            number16(1) + number32(44100) + number32(88200) + number16(2) +
                            number16(16) + number16(0) + "data" + number32(n);
        for (int b = 0; b < blocks; ++b) bytes += std::string(1024, static_cast<char>(b + 1));
        return bytes;
    }
    WAVEFORMATEX format;
};

class MmioRecording : public Mmio, public ::testing::WithParamInterface<int> {};

TEST_P(MmioRecording, WritesTheWaveFileByteForByte) {
    record(GetParam());
    std::string bytes = readFile(path("Desktop/Zimbalo Record.wav"));
    EXPECT_EQ(bytes.size(), 46u + 1024u * static_cast<size_t>(GetParam()));
    EXPECT_EQ(bytes, expected(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Blocks, MmioRecording, ::testing::Values(0, 1, 3, 20));

TEST_F(Mmio, ARecordingReplacesTheOldFileFromItsBeginning) {
    record(20);
    record(1);
    EXPECT_EQ(readFile(path("Desktop/Zimbalo Record.wav")), expected(1));
}

TEST_F(Mmio, WhileOpenTheSizesArePlaceholdersAndTheFileIsHeld) {
    HMMIO file = create();
    ASSERT_NE(file, nullptr);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    mmioCreateChunk(file, &riff, MMIO_CREATERIFF);
    EXPECT_EQ(create(), nullptr);  // held exclusively, also against this process
    EXPECT_EQ(mmioClose(file, 0), 0u);
    EXPECT_EQ(readFile(path("Desktop/Zimbalo Record.wav")), "RIFF" + number32(0) + "WAVE");
    HMMIO again = create();
    EXPECT_NE(again, nullptr);
    mmioClose(again, 0);
}

TEST_F(Mmio, AFileHeldElsewhereIsNeitherOpenedNorCut) {
    writeFile(path("Desktop/Zimbalo Record.wav"), "previous content");
    char name[] = "C:\\Desktop\\ZIMBALO RECORD.WAV";
    HMMIO holder = mmioOpenA(name, nullptr, MMIO_WRITE | MMIO_EXCLUSIVE);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(readFile(path("Desktop/Zimbalo Record.wav")), "previous content");
    mmioClose(holder, 0);
    HMMIO file = create();
    EXPECT_NE(file, nullptr);
    mmioClose(file, 0);
    EXPECT_EQ(readFile(path("Desktop/Zimbalo Record.wav")), "");
}

TEST_F(Mmio, AnOddChunkIsPaddedAndItsSizeRewritten) {
    HMMIO file = create();
    ASSERT_NE(file, nullptr);
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('a', 'b', 'c', 'd');
    chunk.cksize = 100;
    mmioCreateChunk(file, &chunk, 0);
    mmioWrite(file, "xyz", 3);
    mmioAscend(file, &chunk, 0);
    EXPECT_EQ(chunk.cksize, 3u);
    mmioWrite(file, "!", 1);
    mmioClose(file, 0);
    EXPECT_EQ(readFile(path("Desktop/Zimbalo Record.wav")), std::string("abcd") + number32(3) + "xyz" +
                                                                std::string(1, '\0') + "!");
}

TEST_F(Mmio, AMissingFolderOrEmptyNameGivesNoHandle) {
    char missing[] = "C:\\No Such Folder\\Zimbalo Record.wav";
    EXPECT_EQ(mmioOpenA(missing, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE | MMIO_ALLOCBUF),
              nullptr);
    char empty[] = "";
    EXPECT_EQ(mmioOpenA(empty, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE | MMIO_ALLOCBUF),
              nullptr);
}

}  // namespace
