#include "platform/qt/QtCommonDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <utility>

namespace platform {

QtCommonDialog::QtCommonDialog(DriveMap drives, MessageBoxes& messages)
    : m_drives(std::move(drives)), m_messages(messages) {}

QString QtCommonDialog::nameFilter(const std::string& filterText, const std::string& pattern) {
    QString description = QString::fromStdString(filterText).section(QLatin1Char('|'), 0, 0);
    if (description.trimmed().isEmpty()) description = QStringLiteral("Files");
    QStringList patterns;
    for (const QString& one :
         QString::fromStdString(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString anyCase;
        for (const QChar c : one.trimmed()) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                anyCase += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                anyCase += c;
        }
        if (!anyCase.isEmpty()) patterns << anyCase;
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<std::string> QtCommonDialog::windowsPathOf(const std::filesystem::path& hostFile) {
    std::string why;
    if (auto windows = m_drives.toWindows(hostFile, &why)) return windows;
    Message refusal;
    refusal.text = "This file cannot be used in a theme, because " + why + ".";
    refusal.title = "Open";
    refusal.icon = MessageIcon::Warning;
    m_messages.show(refusal);
    return std::nullopt;
}

void QtCommonDialog::ShowOpen() {
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The list shows the description alone; the patterns with bracketed letters are noise.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(nameFilter(Filter, FileName));
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return;
    if (auto windows = windowsPathOf(std::filesystem::path(chosen.front().toStdString())))
        FileName = *windows;
}

void QtCommonDialog::ShowColor() {
    const QColor initial(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
                         static_cast<int>((Color >> 16) & 0xFF));
    const QColor chosen =
        QColorDialog::getColor(initial, QApplication::activeWindow(), QStringLiteral("Color"),
                               QColorDialog::DontUseNativeDialog);
    // A cancel keeps the current colour for the rest of the run.
    if (chosen.isValid())
        Color = static_cast<std::uint32_t>(chosen.red()) |
                static_cast<std::uint32_t>(chosen.green()) << 8 |
                static_cast<std::uint32_t>(chosen.blue()) << 16;
}

}  // namespace platform
