#include "platform_test_support.h"

namespace {

class Controls : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        RecordingClass::registerOnce();
        parent = CreateWindowExA(0, RecordingClass::name(), "", WS_CAPTION, 0, 0, 630, 273, nullptr,
                                 nullptr, nullptr, nullptr);
        combo = CreateWindowExA(0, "ComboBox", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
                                180, 50, 250, 200, parent, nullptr, nullptr, nullptr);
        RecordingClass::messages().clear();
    }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(combo, message, wParam, lParam);
    }
    LRESULT add(const char* text) { return send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    HWND parent = nullptr;
    HWND combo = nullptr;
};

TEST_F(Controls, ChildControlsAreListedInCreationOrderWithTheirState) {
    HWND label = CreateWindowExA(0, "static", "Microphone Source", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                 25, 53, 150, 20, parent, nullptr, nullptr, nullptr);
    HWND button = CreateWindowExA(0, "Button", "<", WS_CHILD | WS_TABSTOP, 200, 60, 30, 20, parent,
                                  nullptr, nullptr, nullptr);
    std::vector<platformtest::Control> children = platformtest::childControls(parent);
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0].handle, combo);
    EXPECT_EQ(children[0].className, "COMBOBOX");
    EXPECT_EQ(children[1].handle, label);
    EXPECT_EQ(children[1].className, "STATIC");
    EXPECT_EQ(children[1].text, "Microphone Source");
    EXPECT_EQ(children[1].x, 25);
    EXPECT_EQ(children[1].y, 53);
    EXPECT_EQ(children[1].width, 150);
    EXPECT_EQ(children[1].height, 20);
    EXPECT_TRUE(children[1].visible);
    EXPECT_EQ(children[2].className, "BUTTON");
    EXPECT_EQ(children[2].style, WS_CHILD | WS_TABSTOP);
    EXPECT_FALSE(children[2].visible);

    ShowWindow(button, SW_SHOW);
    ShowWindow(label, SW_HIDE);
    EXPECT_TRUE(platformtest::control(button).visible);
    EXPECT_FALSE(platformtest::control(label).visible);
}

TEST_F(Controls, ComboBoxKeepsItemsDataAndSelection) {
    EXPECT_EQ(send(CB_GETCOUNT), 0);
    EXPECT_EQ(send(CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(send(CB_SETCURSEL, 0), CB_ERR);  // an empty list selects nothing

    EXPECT_EQ(add("Line In"), 0);
    EXPECT_EQ(add("Microphone"), 1);
    EXPECT_EQ(send(CB_SETITEMDATA, 0, 3), TRUE);
    EXPECT_EQ(send(CB_SETITEMDATA, 1, 5), TRUE);
    EXPECT_EQ(send(CB_SETITEMDATA, 2, 7), CB_ERR);
    EXPECT_EQ(send(CB_GETCOUNT), 2);
    EXPECT_EQ(send(CB_GETITEMDATA, 1), 5);
    EXPECT_EQ(send(CB_GETITEMDATA, 2), CB_ERR);

    EXPECT_EQ(send(CB_SETCURSEL, 1), 1);
    EXPECT_EQ(send(CB_GETCURSEL), 1);
    EXPECT_EQ(platformtest::comboSelection(combo), 1);
    EXPECT_EQ(platformtest::control(combo).text, "Microphone");

    EXPECT_EQ(send(CB_SETCURSEL, 2), CB_ERR);  // out of range: nothing selected
    EXPECT_EQ(send(CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(platformtest::comboSelection(combo), -1);

    auto items = platformtest::comboItems(combo);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], (std::pair<std::string, LPARAM>("Line In", 3)));
    EXPECT_EQ(items[1], (std::pair<std::string, LPARAM>("Microphone", 5)));

    char text[32];
    EXPECT_EQ(send(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text)), 7);
    EXPECT_STREQ(text, "Line In");
}

TEST_F(Controls, AButtonClickIsACommandToTheParent) {
    HWND button = CreateWindowExA(0, "BUTTON", "Start!", WS_CHILD | WS_VISIBLE, 460, 54, 55, 40,
                                  parent, nullptr, nullptr, nullptr);
    platformtest::clickButton(button);
    SendMessageA(button, BM_CLICK, 0, 0);
    std::vector<RecordedMessage> commands;
    for (const RecordedMessage& m : RecordingClass::messages())
        if (m.message == WM_COMMAND) commands.push_back(m);
    ASSERT_EQ(commands.size(), 2u);
    for (const RecordedMessage& m : commands) {
        EXPECT_EQ(m.window, parent);
        EXPECT_EQ(m.wParam, MAKEWPARAM(0, BN_CLICKED));
        EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(button));
    }
}

TEST_F(Controls, AHiddenButtonCannotBeClicked) {
    HWND button = CreateWindowExA(0, "BUTTON", "Start!", WS_CHILD, 0, 0, 55, 40, parent, nullptr,
                                  nullptr, nullptr);
    platformtest::clickButton(button);
    EXPECT_TRUE(RecordingClass::messageIds(parent).empty());
}

TEST_F(Controls, ButtonCaptionChanges) {
    HWND button = CreateWindowExA(0, "BUTTON", "Record", WS_CHILD | WS_VISIBLE, 0, 0, 250, 20,
                                  parent, nullptr, nullptr, nullptr);
    SetWindowTextA(button, "Stop");
    EXPECT_EQ(platformtest::control(button).text, "Stop");
}

}  // namespace
