// SPDX-License-Identifier: MIT
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <thread>

namespace testsupport {

/// A real FIFO (mkfifo) that notices any open for reading without a clock: a thread keeps
/// opening it for writing, which returns as soon as anyone opens it to read, blocking or not,
/// and so also frees a reader stuck in open() (it reads an empty file): the code under test
/// never hangs the test. release() stops watching and says whether anyone opened it.
struct FifoWatch {
    explicit FifoWatch(const QString& name) : path(QFile::encodeName(name)) {
        if (::mkfifo(path.constData(), 0600) != 0)
            ADD_FAILURE() << "no FIFO at " << path.constData();
        else
            writer = std::thread([this] {
                for (int fd; !released && (fd = ::open(path.constData(), O_WRONLY)) >= 0;) {
                    opened = opened || !released;
                    ::close(fd);
                }
            });
    }
    ~FifoWatch() { release(); }
    bool release() {
        released = true;  // the open below wakes the writer, which is not counted
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
        if (writer.joinable()) writer.join();
        if (fd >= 0) ::close(fd);
        return opened;
    }

    QByteArray path;
    std::atomic<bool> opened{false}, released{false};
    std::thread writer;
};

}  // namespace testsupport
