// SPDX-License-Identifier: MIT
#pragma once

// Binary test files from tests/data (made there by make-data.sh, read here as they are).

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testdata {

inline QString path(const QString& name) {
    return QStringLiteral(SKINSMITH_DATA_DIR "/") + name;
}

/// The whole of any file; empty when it is missing, which the test's own checks then show.
inline QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The whole test file `name`.
inline QByteArray bytes(const QString& name) {
    return contents(path(name));
}

/// Writes `bytes` to `target`; true when all of it arrived.
inline bool write(const QString& target, const QByteArray& bytes) {
    QFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace testdata
