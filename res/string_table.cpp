// The string table of the native build, from the same source as zimbalo.rc.
#include "platform_resources.h"

#include "resource_ids.h"

#define ZIMBALO_STRING(id, text) {id, text},
const PlatformStringResource platformStringResources[] = {
#include "strings.inc"
    {0, nullptr},
};
#undef ZIMBALO_STRING
