#pragma once

// 1 when the processor reports MMX (identification leaf 1, EDX bit 23), else 0.
// Processors other than x86 answer 0.
int cpuHasMmx();
