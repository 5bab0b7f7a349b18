// The recording file byte for byte, and the record button's two handlers.
#include "app_test_support.h"

#include <cstdint>
#include <cstring>

#include "app/main_window.h"
#include "audio/wav_recorder.h"

namespace {

WAVEFORMATEX streamFormat()
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 88200;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

void put32(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

void put16(std::string& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<char>(value & 0xff));
    bytes.push_back(static_cast<char>(value >> 8));
}

// The file as it must be after the close, written out field by field.
std::string expectedFile(const std::string& samples)
{
    std::string bytes = "RIFF";
    put32(bytes, static_cast<std::uint32_t>(38 + samples.size()));
    bytes += "WAVEfmt ";
    put32(bytes, 18);
    put16(bytes, 1);
    put16(bytes, 1);
    put32(bytes, 44100);
    put32(bytes, 88200);
    put16(bytes, 2);
    put16(bytes, 16);
    put16(bytes, 0);
    bytes += "data";
    put32(bytes, static_cast<std::uint32_t>(samples.size()));
    return bytes + samples;
}

// A 1024-byte block whose bytes tell the block apart from others.
struct Block {
    explicit Block(int seed)
    {
        for (size_t i = 0; i < sizeof data; ++i) {
            data[i] = static_cast<char>((i * 7 + seed * 31) & 0xff);
        }
        header.lpData = data;
        header.dwBufferLength = sizeof data;
    }
    std::string bytes() const { return std::string(data, sizeof data); }
    char data[1024];
    WAVEHDR header = {};
};

class WavRecorderTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        hostFile = desktop + "/Zimbalo Record.wav";
        WavRecorder::setPath(platformtest::toWindowsPath(desktop).c_str());
        WavRecorder::format = streamFormat();
    }

    int openRecording() { return WavRecorder::open(WavRecorder::path, WavRecorder::format); }

    std::string hostFile;
};

class BlockCountTest : public WavRecorderTest, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_F(WavRecorderTest, PathIsTheDesktopFolderAndTheFileName)
{
    EXPECT_EQ(std::string(WavRecorder::path),
              platformtest::toWindowsPath(desktop) + "\\Zimbalo Record.wav");
    EXPECT_EQ(platformtest::toHostPath(WavRecorder::path), hostFile);
}

TEST_P(BlockCountTest, WritesTheHeaderAndEveryBlock)
{
    ASSERT_EQ(openRecording(), 0);
    std::string samples;
    for (int i = 0; i < GetParam(); ++i) {
        Block block(i);
        EXPECT_EQ(WavRecorder::append(&block.header), 0);
        samples += block.bytes();
    }
    EXPECT_EQ(WavRecorder::close(), 0);
    const std::string file = readFile(hostFile);
    EXPECT_EQ(file.size(), 46u + 1024u * GetParam());
    EXPECT_EQ(file, expectedFile(samples));
}

INSTANTIATE_TEST_SUITE_P(Blocks, BlockCountTest, ::testing::Values(0, 1, 2, 7));

TEST_F(WavRecorderTest, OneBlockGivesA1070ByteFile)
{
    ASSERT_EQ(openRecording(), 0);
    Block block(3);
    WavRecorder::append(&block.header);
    WavRecorder::close();
    const std::string file = readFile(hostFile);
    ASSERT_EQ(file.size(), 1070u);
    std::uint32_t riffSize;
    std::memcpy(&riffSize, file.data() + 4, 4);
    EXPECT_EQ(riffSize, 1062u);
}

TEST_F(WavRecorderTest, WhileOpenTheSizesArePlaceholders)
{
    ASSERT_EQ(openRecording(), 0);
    Block block(1);
    WavRecorder::append(&block.header);
    // A second writer is refused while the recording holds the file.
    char name[WavRecorder::PATH_BYTES];
    std::strcpy(name, WavRecorder::path);
    HMMIO other = mmioOpenA(name, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE);
    EXPECT_EQ(other, nullptr);
    if (other != nullptr) {
        mmioClose(other, 0);
    }
    WavRecorder::close();
    EXPECT_EQ(readFile(hostFile), expectedFile(block.bytes()));
}

TEST_F(WavRecorderTest, ANewRecordingReplacesTheOldFile)
{
    // Longer than the new recording: nothing of it may remain.
    writeFile(hostFile, std::string(5000, 'x'));
    ASSERT_EQ(openRecording(), 0);
    Block first(1);
    WavRecorder::append(&first.header);
    WavRecorder::append(&first.header);
    WavRecorder::close();
    ASSERT_EQ(openRecording(), 0);
    Block second(2);
    WavRecorder::append(&second.header);
    WavRecorder::close();
    EXPECT_EQ(readFile(hostFile), expectedFile(second.bytes()));
}

TEST_F(WavRecorderTest, AFileHeldOpenElsewhereCannotBeCreated)
{
    char name[WavRecorder::PATH_BYTES];
    std::strcpy(name, WavRecorder::path);
    HMMIO holder = mmioOpenA(name, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(openRecording(), 1);
    EXPECT_FALSE(WavRecorder::isFileOpen());
    mmioClose(holder, 0);
}

TEST_F(WavRecorderTest, AnEmptyPathCannotBeOpened)
{
    WavRecorder::path[0] = '\0';
    EXPECT_EQ(openRecording(), 1);
    EXPECT_FALSE(WavRecorder::isFileOpen());
}

TEST_F(WavRecorderTest, AppendAndCloseWithoutAFileDoNothing)
{
    Block block(1);
    EXPECT_EQ(WavRecorder::append(&block.header), 0);
    EXPECT_EQ(WavRecorder::append(nullptr), 0);
    EXPECT_EQ(WavRecorder::close(), 0);
    EXPECT_FALSE(fileExists(hostFile));
}

TEST_F(WavRecorderTest, APathTooLongIsNotCutShort)
{
    const std::string folder(WavRecorder::PATH_BYTES - std::strlen("\\Zimbalo Record.wav"), 'd');
    WavRecorder::setPath(folder.c_str());
    EXPECT_STREQ(WavRecorder::path, "");
    EXPECT_EQ(openRecording(), 1);

    const std::string fitting(WavRecorder::PATH_BYTES - 1 - std::strlen("\\Zimbalo Record.wav"),
                              'd');
    WavRecorder::setPath(fitting.c_str());
    EXPECT_EQ(std::string(WavRecorder::path), fitting + "\\Zimbalo Record.wav");
}

TEST_F(WavRecorderTest, WithoutADesktopTheFileGoesToTheDriveRoot)
{
    WavRecorder::setPath("");
    EXPECT_STREQ(WavRecorder::path, "\\Zimbalo Record.wav");
    ASSERT_EQ(openRecording(), 0);
    WavRecorder::close();
    EXPECT_EQ(readFile(root + "/Zimbalo Record.wav"), expectedFile(""));
}

// ---- The record button ----

class RecordButtonTest : public WavRecorderTest {
protected:
    void SetUp() override
    {
        WavRecorderTest::SetUp();
        offerTwoDevicesOfEachKind();
        window = createWindow();
        ASSERT_NE(window, nullptr);
    }
    std::string caption() { return platformtest::control(MainWindow::recordButton).text; }
    void click()
    {
        platformtest::clickButton(MainWindow::recordButton);
        platformtest::dispatchPending();
    }
    HWND window = nullptr;
};

TEST_F(RecordButtonTest, StartsAndStopsARecording)
{
    EXPECT_EQ(caption(), "Record");
    click();
    EXPECT_TRUE(WavRecorder::recording);
    EXPECT_EQ(caption(), "Stop");
    Block block(5);
    WavRecorder::append(&block.header);
    click();
    EXPECT_FALSE(WavRecorder::recording);
    EXPECT_EQ(caption(), "Record");
    EXPECT_EQ(readFile(hostFile), expectedFile(block.bytes()));
}

TEST_F(RecordButtonTest, BeforeTheStreamStartsTheOpenFailsButTheCaptionChanges)
{
    WavRecorder::path[0] = '\0';
    WavRecorder::format = WAVEFORMATEX{};
    click();
    EXPECT_FALSE(WavRecorder::recording);
    EXPECT_FALSE(WavRecorder::isFileOpen());
    EXPECT_EQ(caption(), "Stop");
    EXPECT_TRUE(platformtest::messageBoxes().empty());
    // The next click tries to start again, since nothing is recording.
    WavRecorder::setPath(platformtest::toWindowsPath(desktop).c_str());
    WavRecorder::format = streamFormat();
    click();
    EXPECT_TRUE(WavRecorder::recording);
    EXPECT_EQ(caption(), "Stop");
}

TEST_F(RecordButtonTest, StopAndStartAgainReplacesTheRecording)
{
    click();
    Block first(1);
    WavRecorder::append(&first.header);
    click();
    click();
    Block second(2);
    WavRecorder::append(&second.header);
    WavRecorder::append(&second.header);
    click();
    EXPECT_EQ(readFile(hostFile), expectedFile(second.bytes() + second.bytes()));
}

TEST_F(RecordButtonTest, ClosingTheWindowFinishesARecordingInProgress)
{
    click();
    Block block(9);
    WavRecorder::append(&block.header);
    DestroyWindow(window);
    EXPECT_FALSE(WavRecorder::isFileOpen());
    EXPECT_EQ(readFile(hostFile), expectedFile(block.bytes()));
}
