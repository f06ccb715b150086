// SPDX-License-Identifier: MIT
#pragma once

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <thread>

namespace testsupport {

/// A real FIFO (mkfifo) that notices any open for reading without a clock: the kernel reports
/// each reader's close (inotify), however briefly it held the FIFO, and a thread keeps opening
/// it for writing, which frees a reader stuck in open() (it reads an empty file), so the code
/// under test never hangs the test. release() stops watching and says whether anyone read.
struct FifoWatch {
    explicit FifoWatch(const QString& name) : path(QFile::encodeName(name)) {
        if (::mkfifo(path.constData(), 0600) != 0 ||
            ::inotify_add_watch(notes, path.constData(), IN_CLOSE_NOWRITE) < 0)
            ADD_FAILURE() << "no FIFO at " << path.constData();
        writer = std::thread([this] {
            for (int fd; !released && (fd = ::open(path.constData(), O_WRONLY)) >= 0;) ::close(fd);
        });
    }
    ~FifoWatch() { release(), ::close(notes); }
    bool release() {
        char events[4096];
        const bool opened = ::read(notes, events, sizeof events) > 0;  // readers have closed it
        released = true;
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);  // wakes the writer
        if (writer.joinable()) writer.join();
        if (fd >= 0) ::close(fd);
        return opened;
    }

    QByteArray path;
    int notes = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::atomic<bool> released{false};
    std::thread writer;
};

}  // namespace testsupport
