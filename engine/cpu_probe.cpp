#include "cpu_probe.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int cpuHasMmx()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return 0;
    return (edx >> 23) & 1;
#else
    return 0;
#endif
}
