// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace fakes {

/// Wraps a real FileSystem and fails one chosen operation: the n-th call (from 1) of one
/// kind, counting text-file line writes and closes across all files.
class FaultyFileSystem : public platform::FileSystem {
public:
    enum class Op { ChangeDrive, ChangeFolder, MakeFolder, CreateTextFile, WriteLine, Close, Copy };

    FaultyFileSystem(platform::FileSystem& real, Op op, int n) : m_real(real), m_op(op), m_n(n) {}

    bool changeDrive(char drive) override {
        return failNow(Op::ChangeDrive) ? false : m_real.changeDrive(drive);
    }
    bool changeFolder(std::string_view name) override {
        return failNow(Op::ChangeFolder) ? false : m_real.changeFolder(name);
    }
    bool makeFolder(std::string_view name) override {
        return failNow(Op::MakeFolder) ? false : m_real.makeFolder(name);
    }
    std::unique_ptr<platform::TextFile> createTextFile(std::string_view name) override {
        if (failNow(Op::CreateTextFile)) return nullptr;
        auto file = m_real.createTextFile(name);
        if (!file) return nullptr;
        return std::make_unique<File>(*this, std::move(file));
    }
    bool copyFile(std::string_view source, std::string_view target,
                  const platform::CopyWatch& watch = {}) override {
        return failNow(Op::Copy) ? false : m_real.copyFile(source, target, watch);
    }
    std::string currentFolder() const override { return m_real.currentFolder(); }
    std::string lastError() const override {
        return m_injected ? "injected failure" : m_real.lastError();
    }

    /// Whether the chosen operation was reached (and failed).
    bool fired() const { return m_fired; }

private:
    class File : public platform::TextFile {
    public:
        File(FaultyFileSystem& owner, std::unique_ptr<platform::TextFile> real)
            : m_owner(owner), m_real(std::move(real)) {}
        bool writeLine(std::string_view bytes) override {
            if (m_owner.failNow(Op::WriteLine)) {
                m_failed = true;
                return false;
            }
            return m_real->writeLine(bytes);
        }
        bool close() override {
            // A file that lost a line must not replace the earlier one: a real device that
            // loses a write fails the file too.
            if (m_owner.failNow(Op::Close) || m_failed) {
                m_real.reset();  // discarded, never renamed into place
                return false;
            }
            return m_real->close();
        }
        std::string lastError() const override { return "injected failure"; }

    private:
        FaultyFileSystem& m_owner;
        std::unique_ptr<platform::TextFile> m_real;
        bool m_failed = false;
    };

    bool failNow(Op op) {
        m_injected = false;
        if (op != m_op || ++m_count != m_n) return false;
        m_fired = m_injected = true;
        return true;
    }

    platform::FileSystem& m_real;
    Op m_op;
    int m_n;
    int m_count = 0;
    bool m_fired = false;
    bool m_injected = false;
};

}  // namespace fakes
