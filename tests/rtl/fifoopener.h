#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

// While it lives, every open of the FIFO for reading meets a writer that leaves at once: a reader
// that should never have opened it reads an empty text instead of waiting for ever.
class FifoOpener {
public:
    explicit FifoOpener(const QString& Path)
        : FThread([this, name = QFile::encodeName(Path)] {
              while (!FStop) {
                  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          })
    {
    }
    ~FifoOpener()
    {
        FStop = true;
        FThread.join();
    }
    FifoOpener(const FifoOpener&) = delete;
    FifoOpener& operator=(const FifoOpener&) = delete;

private:
    std::atomic<bool> FStop {false};
    std::thread FThread;
};
