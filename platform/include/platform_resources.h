// The program's string table, linked into the program (it comes from res/).
// LoadStringA reads it; the table ends with {0, nullptr}.
#pragma once

struct PlatformStringResource {
    unsigned id;
    const char* text;
};

extern const PlatformStringResource platformStringResources[];
