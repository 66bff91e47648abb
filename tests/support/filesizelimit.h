#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process grows past Bytes: a write beyond that fails as on a full
// disk, for every user (root writes into read-only folders, not past this limit).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t Bytes) : FOldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &FSaved), 0);
        rlimit small = FSaved;
        small.rlim_cur = Bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FOldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*FOldHandler)(int);
    rlimit FSaved {};
};
