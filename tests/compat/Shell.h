// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>

#include "support/TestData.h"

namespace testsupport {

/// Runs a shell command in a folder ($DATA names tests/data) and gives what it printed;
/// `ok` tells whether it ended with 0.
inline QString shell(const QString& folder, const QString& command, bool* ok = nullptr) {
    QProcess process;
    process.setWorkingDirectory(folder);
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DATA"), testdata::path({}));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    const bool finished = process.waitForFinished(120000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

}  // namespace testsupport
