// The string table of the layer's own tests.
#include "platform_resources.h"

const PlatformStringResource platformStringResources[] = {
    {103, "Zimbalo - test title"},
    {109, "ZIMBALO"},
    {200, ""},
    {0, nullptr},
};
