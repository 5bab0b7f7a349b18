#include "settings.h"

#include "process_launch.h"

#include <mutex>

namespace zplat {
namespace {

struct Settings {
    std::mutex mutex;
    int width = 1024;
    int height = 768;
    std::optional<std::string> moduleHostPath;
    DesktopSetting desktop;
    bool launches = true;
    std::optional<MailMode> mail;  // unset: ask the system (xdg-email on PATH)
    ULONG sendResult = SUCCESS_SUCCESS;
    bool mailLaunches = true;
};

Settings& settings() {
    static Settings* instance = new Settings;  // never destroyed: used until exit
    return *instance;
}

}  // namespace

void resetSettingsForTests() {
    Settings& s = settings();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.width = 1024;
    s.height = 768;
    s.moduleHostPath.reset();
    s.desktop = DesktopSetting{false, std::nullopt};
    s.launches = false;
    s.mail = MailMode::Missing;
    s.sendResult = SUCCESS_SUCCESS;
    s.mailLaunches = false;
}

int screenWidth() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().width;
}

int screenHeight() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().height;
}

void setScreen(int width, int height) {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().width = width;
    settings().height = height;
}

std::optional<std::string> moduleHostPathOverride() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().moduleHostPath;
}

void setModuleHostPath(std::optional<std::string> hostPath) {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().moduleHostPath = std::move(hostPath);
}

DesktopSetting desktopSetting() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().desktop;
}

void setDesktopSetting(const DesktopSetting& setting) {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().desktop = setting;
}

bool shellLaunches() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().launches;
}

void setShellLaunchesEnabled(bool launch) {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().launches = launch;
}

MailMode mailMode() {
    std::optional<MailMode> mode;
    {
        std::lock_guard<std::mutex> lock(settings().mutex);
        mode = settings().mail;
    }
    if (mode) return *mode;
    return programOnPath("xdg-email") ? MailMode::Available : MailMode::Missing;
}

bool mailLaunches() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().mailLaunches;
}

void useSystemMailSetting() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().mail.reset();
    settings().mailLaunches = true;
}

ULONG mailSendResult() {
    std::lock_guard<std::mutex> lock(settings().mutex);
    return settings().sendResult;
}

void setMail(MailMode mode, ULONG sendResult) {
    std::lock_guard<std::mutex> lock(settings().mutex);
    settings().mail = mode;
    settings().sendResult = sendResult;
    settings().mailLaunches = false;
}

}  // namespace zplat
