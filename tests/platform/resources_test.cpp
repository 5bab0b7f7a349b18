#include "platform_test_support.h"

#include <cstring>

namespace {

struct StringCase {
    UINT id;
    int bufferMax;
    const char* expectedText;
    int expectedLength;
};

class StringTable : public PlatformTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(StringTable, CopiesAtMostBufferMaxMinusOneCharacters) {
    const StringCase& c = GetParam();
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.bufferMax), c.expectedLength);
    EXPECT_STREQ(buffer, c.expectedText);
}

INSTANTIATE_TEST_SUITE_P(Table, StringTable,
                         ::testing::Values(StringCase{109, 100, "ZIMBALO", 7},
                                           StringCase{109, 8, "ZIMBALO", 7},
                                           StringCase{109, 7, "ZIMBAL", 6},
                                           StringCase{109, 1, "", 0},
                                           StringCase{103, 8, "Zimbalo", 7},
                                           StringCase{200, 10, "", 0},
                                           StringCase{999, 10, "", 0}));

TEST_F(PlatformTest, LoadStringWithoutRoomWritesNothing) {
    char buffer[4] = {'a', 'b', 'c', '\0'};
    EXPECT_EQ(LoadStringA(nullptr, 109, buffer, 0), 0);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(PlatformTest, IconsAndCursorsAreStablePerResource) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HICON first = LoadIconA(instance, MAKEINTRESOURCEA(107));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(LoadIconA(instance, MAKEINTRESOURCEA(107)), first);
    EXPECT_EQ(platformtest::iconHandle(107), first);
    EXPECT_NE(LoadIconA(instance, MAKEINTRESOURCEA(108)), first);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

TEST_F(PlatformTest, MessageBoxIsRecordedAndAnsweredWithOk) {
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "Cannot load MAPI.DLL", "Error", MB_OK), IDOK);
    auto boxes = platformtest::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Cannot load MAPI.DLL");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, MB_OK);
}

}  // namespace
