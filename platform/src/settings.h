// The simulated system's settings: from the real system in the program,
// isolated defaults once a test has called platformtest::reset().
#pragma once

#include <windows.h>
#include <mapi.h>

#include <optional>
#include <string>

namespace zplat {

enum class MailMode { Missing, WithoutSendMail, Available };

struct DesktopSetting {
    bool fromSystem = true;                // XDG lookup with the current environment
    std::optional<std::string> hostFolder; // used when not fromSystem
};

void resetSettingsForTests();

int screenWidth();
int screenHeight();
void setScreen(int width, int height);

std::optional<std::string> moduleHostPathOverride();
void setModuleHostPath(std::optional<std::string> hostPath);

DesktopSetting desktopSetting();
void setDesktopSetting(const DesktopSetting& setting);

bool shellLaunches();
void setShellLaunchesEnabled(bool launch);

MailMode mailMode();
bool mailLaunches();
void useSystemMailSetting();  // mail from xdg-email on PATH, launched for real
ULONG mailSendResult();
void setMail(MailMode mode, ULONG sendResult);

}  // namespace zplat
