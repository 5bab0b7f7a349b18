#include "records.h"

namespace zplat {

Records& records() {
    static Records* instance = new Records;  // never destroyed: used until exit
    return *instance;
}

void clearRecordsForTests() {
    Records& all = records();
    std::lock_guard<std::mutex> lock(all.mutex);
    all.messageBoxes.clear();
    all.fills.clear();
    all.icons.clear();
    all.fileOperations.clear();
    all.shellExecutions.clear();
    all.mails.clear();
    all.libraries.clear();
}

}  // namespace zplat
