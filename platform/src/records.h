// What the program did through the layer, kept for the test hooks. The
// record types are those of the test hooks' header.
#pragma once

#include "platform/testing/platform_testing.h"

#include <mutex>
#include <vector>

namespace zplat {

struct Records {
    std::mutex mutex;
    std::vector<platformtest::MessageBoxShown> messageBoxes;
    std::vector<platformtest::Fill> fills;
    std::vector<platformtest::IconDrawn> icons;
    std::vector<platformtest::FileOperation> fileOperations;
    std::vector<platformtest::ShellExecution> shellExecutions;
    std::vector<platformtest::MailSent> mails;
    std::vector<std::string> libraries;
};

Records& records();
void clearRecordsForTests();

template <typename Item>
void record(std::vector<Item> Records::*list, Item item) {
    std::lock_guard<std::mutex> lock(records().mutex);
    (records().*list).push_back(std::move(item));
}

template <typename Item>
std::vector<Item> recorded(std::vector<Item> Records::*list) {
    std::lock_guard<std::mutex> lock(records().mutex);
    return records().*list;
}

}  // namespace zplat
