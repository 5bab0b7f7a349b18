// Common set-up of the app tests: a clean simulated system, the program's own
// state as at start-up, and a temporary folder for the drive and the desktop.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/platform_testing.h"

// Puts the program-wide state back as it is when the program starts, with
// fresh meter brushes.
void resetProgramState();

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window has not been destroyed.
    bool windowExists(HWND window);
    // Two devices of each kind: nothing starts until "Start!" is clicked.
    void offerTwoDevicesOfEachKind();
    // What WinMain does before the message loop; returns the main window.
    HWND createWindow();
    // The posted messages that arrived before this call, in order, taken
    // from the queue (a marker message shows where the queue ends).
    std::vector<MSG> takePostedMessages(HWND window);

    // Host folders: the drive root C:\ and the desktop folder inside it.
    std::string root;
    std::string desktop;
    HINSTANCE instance = nullptr;
};

std::string readFile(const std::string& hostPath);
void writeFile(const std::string& hostPath, const std::string& bytes);
bool fileExists(const std::string& hostPath);
