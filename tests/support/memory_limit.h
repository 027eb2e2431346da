#pragma once

// Lowers the process's address-space limit to what it uses now plus
// `headroom` bytes, for as long as the object lives: the picture loader then
// sees a machine with that much memory left.

#include <fstream>
#include <string>

#include <sys/resource.h>

class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroom)
    {
        getrlimit(RLIMIT_AS, &previous_);
        std::ifstream status("/proc/self/status");
        std::string word;
        rlim_t usedKilobytes = 0;
        while (status >> word)
            if (word == "VmSize:" && status >> usedKilobytes)
                break;
        const rlimit lowered{usedKilobytes * 1024 + headroom, previous_.rlim_max};
        setrlimit(RLIMIT_AS, &lowered);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &previous_); }

private:
    rlimit previous_{};
};
