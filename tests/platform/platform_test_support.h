// A fixture for the layer's tests: an isolated layer and a scratch folder.
#pragma once

#include "platform/testing/platform_testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        platformtest::reset();
        char pattern[] = "/tmp/zimbalo-platform-XXXXXX";
        scratch = mkdtemp(pattern);
    }
    void TearDown() override {
        platformtest::reset();
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }

    std::string path(const std::string& relative) const { return scratch + "/" + relative; }

    static void writeFile(const std::string& hostPath, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
        std::ofstream(hostPath, std::ios::binary) << content;
    }

    static std::string readFile(const std::string& hostPath) {
        std::ifstream file(hostPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::string scratch;
};

// A window class whose procedure records every message and defers to
// DefWindowProcA; tests may replace the answer to one message.
struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingClass {
public:
    static std::vector<RecordedMessage>& messages() {
        static std::vector<RecordedMessage> all;
        return all;
    }
    static UINT& overriddenMessage() {
        static UINT message = 0xFFFFFFFF;
        return message;
    }
    static LRESULT& overriddenResult() {
        static LRESULT result = 0;
        return result;
    }
    static const char* name() { return "PlatformTestWindow"; }

    static void registerOnce() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = name();
        RegisterClassExA(&windowClass);  // already there after the first test
        messages().clear();
        overriddenMessage() = 0xFFFFFFFF;
    }

    static std::vector<UINT> messageIds(HWND window) {
        std::vector<UINT> ids;
        for (const RecordedMessage& m : messages())
            if (m.window == window) ids.push_back(m.message);
        return ids;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        messages().push_back({window, message, wParam, lParam});
        if (message == overriddenMessage()) return overriddenResult();
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
