#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>

// While alive, writes beyond `bytes` into any file fail with EFBIG, as on a full disk; unlike
// permissions, this holds for root too.
struct FileSizeLimit {
    static constexpr bool kAvailable = true;
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
#else
// No per-process file size limit here: the tests that fill the disk this way are skipped.
struct FileSizeLimit {
    static constexpr bool kAvailable = false;
    explicit FileSizeLimit(unsigned long long) {}
};
#endif
