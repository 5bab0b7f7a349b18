// File names in the platform's form ("C:\Folder\File.txt") mapped onto the
// host file system. Drive C: (and any letter but Z:) is the drive root, a host
// folder ("/" unless ZIMBALO_DRIVE_ROOT or a test says otherwise); Z: is the
// host's "/" so that every host path has a name. Existing components are found
// without regard to case; a component that does not exist keeps its spelling.
#pragma once

#include <string>

namespace zplat {

std::string hostPathFor(const std::string& windowsPath);
std::string windowsPathFor(const std::string& hostPath);

void setDriveRootFolder(const std::string& hostFolder);
void resetDriveRootForTests();

// ASCII-only case folding, as file names are compared.
bool equalsIgnoringCase(const std::string& a, const std::string& b);
std::string upperAscii(std::string text);

}  // namespace zplat
