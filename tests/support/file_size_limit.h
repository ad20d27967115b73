#pragma once

#include <csignal>
#include <sys/resource.h>

// While alive, writes beyond `bytes` into any file fail with EFBIG, as on a full disk; unlike
// permissions, this holds for root too.
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int) = nullptr;

    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};
