// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/DriveMap.h"
#include "support/TestData.h"

namespace testsupport {

/// A drive map whose C: is a test's temporary folder.
inline platform::DriveMap driveOn(const QString& folder) {
    platform::DriveMap drives;
    drives.map('C', folder.toStdString());
    return drives;
}

/// A fixture whose drive C: is a fresh temporary folder.
class TempDriveTest : public ::testing::Test {
protected:
    /// Writes `bytes` to `name` on C: (making its folders) and gives its Windows path.
    std::string put(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(name)).path()));
        EXPECT_TRUE(testdata::write(m_dir.filePath(name), bytes)) << name.toStdString();
        return "C:\\" + QString(name).replace('/', '\\').toStdString();
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = driveOn(m_dir.path());
};

}  // namespace testsupport
