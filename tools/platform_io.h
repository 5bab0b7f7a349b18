#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// The few file and console calls that differ between POSIX and Windows.

bool stderrIsTerminal();

// 64-bit seek and size, so that files past 2 GiB are measured correctly on
// 32-bit Windows too.
bool seekFile(std::FILE* file, std::uint64_t offset);
bool fileSize(std::FILE* file, std::uint64_t& size);

// Moves `from` onto `to`, replacing `to` if it exists. Returns an empty
// string on success, otherwise the system's reason.
std::string replaceFile(const std::string& from, const std::string& to);

int currentProcessId();
