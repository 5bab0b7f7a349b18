// The string table that windres compiles for the Windows build holds the same
// texts as the native build's table: both come from res/strings.inc, and this
// catches an escape that the two compilers would read differently.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "platform_resources.h"

namespace {

constexpr std::uint16_t RT_STRING_TYPE = 6;

std::uint32_t read32(const std::string& bytes, size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    }
    return value;
}

std::uint16_t read16(const std::string& bytes, size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                      (static_cast<unsigned char>(bytes.at(at + 1)) << 8));
}

// A type or name field: 0xFFFF and a number, or a zero-terminated UTF-16 name
// (then reported as 0). Moves `at` past the field.
std::uint16_t readIdentifier(const std::string& bytes, size_t& at)
{
    if (read16(bytes, at) == 0xFFFF) {
        const std::uint16_t id = read16(bytes, at + 2);
        at += 4;
        return id;
    }
    while (read16(bytes, at) != 0) {
        at += 2;
    }
    at += 2;
    return 0;
}

// Every string of the compiled resource file by its identifier.
std::map<unsigned, std::string> compiledStrings(const std::string& bytes)
{
    std::map<unsigned, std::string> strings;
    size_t entry = 0;
    while (entry + 8 <= bytes.size()) {
        const std::uint32_t dataSize = read32(bytes, entry);
        const std::uint32_t headerSize = read32(bytes, entry + 4);
        size_t at = entry + 8;
        const std::uint16_t type = readIdentifier(bytes, at);
        const std::uint16_t block = readIdentifier(bytes, at);
        const size_t data = entry + headerSize;
        if (type == RT_STRING_TYPE && block > 0) {
            // A block holds 16 counted UTF-16 strings, ids (block - 1) * 16 onwards.
            size_t text = data;
            for (unsigned index = 0; index < 16; ++index) {
                const std::uint16_t length = read16(bytes, text);
                text += 2;
                std::string value;
                for (std::uint16_t c = 0; c < length; ++c, text += 2) {
                    const std::uint16_t unit = read16(bytes, text);
                    EXPECT_LT(unit, 0x80u) << "only plain ASCII is expected";
                    value.push_back(static_cast<char>(unit));
                }
                if (length > 0) {
                    strings[(block - 1u) * 16u + index] = value;
                }
            }
        }
        entry = (data + dataSize + 3) & ~static_cast<size_t>(3);
    }
    return strings;
}

}  // namespace

TEST(ResourceScript, CompilesTheSameStringTableAsTheNativeBuild)
{
    std::ifstream file(ZIMBALO_COMPILED_RESOURCES, std::ios::binary);
    ASSERT_TRUE(file.good()) << ZIMBALO_COMPILED_RESOURCES;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::map<unsigned, std::string> compiled = compiledStrings(bytes);

    std::map<unsigned, std::string> native;
    for (const PlatformStringResource* entry = platformStringResources; entry->text; ++entry) {
        native[entry->id] = entry->text;
    }
    EXPECT_EQ(native.size(), 14u);
    EXPECT_EQ(compiled, native);
}
