// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "platform/TextFile.h"

namespace fakes {

/// A text file in memory that accepts at most `capacity` bytes: a line that does not fit
/// whole is refused and nothing of it is kept, like a full disk that rejects a write.
class MemoryTextFile : public platform::TextFile {
public:
    explicit MemoryTextFile(std::size_t capacity = std::numeric_limits<std::size_t>::max())
        : m_capacity(capacity) {}

    bool writeLine(std::string_view bytes) override {
        if (m_closed || m_bytes.size() + bytes.size() + 2 > m_capacity) {
            ++m_failedWrites;
            return false;
        }
        m_bytes.append(bytes);
        m_bytes.append("\r\n");
        return true;
    }
    bool close() override {
        m_closed = true;
        return m_failedWrites == 0;
    }

    const std::string& bytes() const { return m_bytes; }

private:
    std::size_t m_capacity;
    std::string m_bytes;
    int m_failedWrites = 0;
    bool m_closed = false;
};

}  // namespace fakes
