// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "platform/DriveMap.h"

namespace testsupport {

/// A drive map whose C: is a test's temporary folder.
inline platform::DriveMap driveOn(const QString& folder) {
    platform::DriveMap drives;
    drives.map('C', folder.toStdString());
    return drives;
}

}  // namespace testsupport
