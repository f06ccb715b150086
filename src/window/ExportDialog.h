// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

#include "export/DiskImage.h"
#include "state/ThemeState.h"
#include "window/Services.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace window {

class Form1;

/// File > Export Theme...: the target kind and file, then the export (create the theme
/// folder, pack it) on a worker thread with progress and Cancel. The window never waits.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const state::ThemeState& theme, Services& services, QWidget* parent = nullptr);
    /// Stops an export under way and waits for the step it is in.
    ~ExportDialog() override;

    /// Adds "Export Theme..." (Ctrl+E) to the File menu; it opens the dialog over `form`.
    static QAction* addMenuItem(QMenu* file, Form1& form, Services& services);

    /// Starts the export to the kind and file chosen (the Export button).
    void cmdExport_Click();
    bool running() const { return m_worker.joinable(); }

signals:
    /// The export ended: written lines, or the reason it wrote nothing.
    void exportFinished(bool ok, const QString& text);

protected:
    void reject() override;

private:
    void kindChanged();
    void targetChanged();
    void browse();
    void showProgress(const QString& step, quint64 done, quint64 total);
    void finish(bool ok, const QString& text);
    /// While the export runs only Cancel is live.
    void setBusy(bool busy);

    state::ThemeState m_theme;  // as it was when the dialog opened
    Services& m_services;
    QComboBox* m_kind;
    QLineEdit* m_target;
    QPushButton* m_browse;
    QComboBox* m_partition;
    QLabel* m_partitionLabel;
    QCheckBox* m_logos;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_export;
    QPushButton* m_close;
    exporting::DiskCheck m_check;
    QString m_askedInPlace;  // the image "Write in place" was offered for
    bool m_inPlace = false;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
};

}  // namespace window
