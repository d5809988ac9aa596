// The benchmark process's peak resident memory.
#pragma once

#include <cstdio>

// VmHWM of this process in kB, from /proc; 0 when it cannot be read.
inline long PeakKilobytes()
{
    long kb = 0;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmHWM: %ld", &kb) == 1) break;
        std::fclose(status);
    }
    return kb;
}
