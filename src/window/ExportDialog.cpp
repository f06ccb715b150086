// SPDX-License-Identifier: MIT
#include "window/ExportDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/ExportJob.h"
#include "window/Form1.h"

namespace window {
namespace {

struct KindEntry {
    exporting::Kind kind;
    const char* text;
    const char* extension;
};
constexpr KindEntry kKinds[] = {
    {exporting::Kind::Zip, "Zip pack (.zip)", ".zip"},
    {exporting::Kind::Iso, "CD image (.iso)", ".iso"},
    {exporting::Kind::DiskImage, "Hard disk image (.img .ima .hdd .vhd)", ""},
};

QString joined(const std::vector<std::string>& lines) {
    QStringList out;
    for (const auto& line : lines) out << QString::fromStdString(line);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

QAction* ExportDialog::addMenuItem(QMenu* file, Form1& form, Services& services) {
    QAction* action = file->addAction(QStringLiteral("&Export Theme..."));
    action->setObjectName(QStringLiteral("mnuFileExport"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &form, [&form, &services] {
        if (form.copying()) {
            services.messageBoxes.show(
                {"The files of the theme just created are still being copied. Export it once "
                 "they are in place.",
                 "Export Theme", platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                 platform::MessageResult::Ok});
            return;
        }
        auto* dialog = new ExportDialog(form.theme(), services, &form);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    return action;
}

ExportDialog::ExportDialog(const state::ThemeState& theme, Services& services, QWidget* parent)
    : QDialog(parent), m_theme(theme), m_services(services) {
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Export Theme"));
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cboKind"));
    for (const auto& k : kKinds) m_kind->addItem(QString::fromLatin1(k.text));
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("txtTarget"));
    m_target->setMinimumWidth(360);
    m_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_browse->setObjectName(QStringLiteral("cmdBrowse"));
    auto* browse = m_browse;
    m_partitionLabel = new QLabel(QStringLiteral("&Partition:"), this);
    m_partition = new QComboBox(this);
    m_partition->setObjectName(QStringLiteral("cboPartition"));
    m_partitionLabel->setBuddy(m_partition);
    m_logos = new QCheckBox(QStringLiteral("Put the &logos in place (replaced files kept as .OLD)"),
                            this);
    m_logos->setObjectName(QStringLiteral("chkLogos"));
    m_logos->setToolTip(
        QStringLiteral("Copies the theme's splash logos to C:\\LOGO.SYS, C:\\WINDOWS\\LOGOW.SYS "
                       "and C:\\WINDOWS\\LOGOS.SYS; a file it replaces is kept beside it as "
                       ".OLD, unless a .OLD is there already."));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgExport"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_export = new QPushButton(QStringLiteral("&Export"), this);
    m_export->setObjectName(QStringLiteral("cmdExport"));
    m_export->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(m_target, 1);
    targetRow->addWidget(browse);
    auto* form = new QFormLayout;
    auto* kindLabel = new QLabel(QStringLiteral("&Kind:"), this);
    kindLabel->setBuddy(m_kind);
    auto* fileLabel = new QLabel(QStringLiteral("&Target file:"), this);
    fileLabel->setBuddy(m_target);
    form->addRow(kindLabel, m_kind);
    form->addRow(fileLabel, targetRow);
    form->addRow(m_partitionLabel, m_partition);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_logos);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &ExportDialog::kindChanged);
    connect(m_target, &QLineEdit::textChanged, this, &ExportDialog::targetChanged);
    connect(browse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(m_export, &QPushButton::clicked, this, &ExportDialog::cmdExport_Click);
    connect(m_close, &QPushButton::clicked, this, &ExportDialog::reject);
    kindChanged();
}

ExportDialog::~ExportDialog() {
    m_cancel = true;
    if (m_worker.joinable()) m_worker.join();
}

void ExportDialog::kindChanged() {
    const auto& kind = kKinds[std::max(0, m_kind->currentIndex())];
    const bool disk = kind.kind == exporting::Kind::DiskImage;
    m_logos->setVisible(disk);
    const QString current = m_target->text();
    if (!disk) {
        // The pack goes beside the theme folders, named after the theme.
        const auto vault = m_services.drives.toHost("C:\\skinvault");
        const QString base = QString::fromStdString(vault ? vault->string() : std::string());
        QString name = current.isEmpty()
                           ? QDir(base).filePath(QString::fromStdString(m_theme.themeName))
                           : current.left(current.size() - QFileInfo(current).suffix().size() -
                                          (QFileInfo(current).suffix().isEmpty() ? 0 : 1));
        m_target->setText(name + QString::fromLatin1(kind.extension));
    } else if (exporting::kindForPath(current.toStdString()) != exporting::Kind::DiskImage) {
        m_target->clear();
    }
    targetChanged();
}

void ExportDialog::targetChanged() {
    const std::string target = m_target->text().toStdString();
    const auto kind = exporting::kindForPath(target);
    // A name typed with another kind's extension chooses that kind.
    if (kind && kKinds[m_kind->currentIndex()].kind != *kind) {
        for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i)
            if (kKinds[i].kind == *kind) m_kind->setCurrentIndex(i);  // calls back here
        return;
    }
    m_partition->clear();
    m_check = {};
    m_status->clear();
    bool several = false;
    if (kind == exporting::Kind::DiskImage && QFileInfo::exists(m_target->text())) {
        m_check = exporting::checkDiskImage(target);
        m_status->setText(QString::fromStdString(m_check.refusal));
        const auto fat = m_check.layout.fatPartitions();
        for (const auto& p : fat)
            m_partition->addItem(QString::fromStdString(p.description()), p.number);
        several = fat.size() > 1;
    }
    m_partition->setVisible(several);
    m_partitionLabel->setVisible(several);
}

void ExportDialog::browse() {
    const auto kind = kKinds[m_kind->currentIndex()].kind;
    const QString start = m_target->text().isEmpty() ? QDir::homePath() : m_target->text();
    QString chosen;
    if (kind == exporting::Kind::DiskImage)
        chosen = QFileDialog::getOpenFileName(
            this, QStringLiteral("Disk image to export into"), start,
            QStringLiteral("Disk images (*.img *.ima *.hdd *.vhd *.IMG *.IMA *.HDD *.VHD)"),
            nullptr, QFileDialog::DontUseNativeDialog);
    else
        chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Export to"), start,
                                              kind == exporting::Kind::Zip
                                                  ? QStringLiteral("Zip packs (*.zip)")
                                                  : QStringLiteral("CD images (*.iso)"),
                                              nullptr, QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) m_target->setText(chosen);
}

void ExportDialog::cmdExport_Click() {
    if (running()) return;
    const QString target = m_target->text();
    const auto kind = exporting::kindForPath(target.toStdString());
    auto refuse = [&](const std::string& why) {
        m_status->setText(QString::fromStdString(why));
        m_services.messageBoxes.show({why, "Export Theme", platform::MessageButtons::Ok,
                                      platform::MessageIcon::Stop, platform::MessageResult::Ok});
    };
    if (!kind)
        return refuse("Choose a target file ending in " +
                      std::string(m_kind->currentIndex() == 2
                                      ? ".img, .ima, .hdd or .vhd"
                                      : kKinds[m_kind->currentIndex()].extension) +
                      ".");
    ExportRequest request;
    request.target = target.toStdString();
    request.kind = *kind;
    if (*kind == exporting::Kind::DiskImage) {
        targetChanged();  // the image may have changed since it was chosen
        if (!QFileInfo::exists(target))
            return refuse("There is no disk image " + target.toStdString() +
                          ". Export into an image the emulator already uses.");
        if (!m_check.refusal.empty()) return refuse(m_check.refusal);
        if (m_check.copyIsSlow() && m_askedInPlace != target) {
            m_askedInPlace = target;
            m_inPlace = m_services.messageBoxes.show(
                            {exporting::inPlaceRisk(m_check) +
                                 "\r\rChoose OK to write in place, or Cancel to copy first.",
                             "Write in place?", platform::MessageButtons::OkCancel,
                             platform::MessageIcon::Warning, platform::MessageResult::Cancel}) ==
                        platform::MessageResult::Ok;
        }
        request.disk.inPlace = m_inPlace && m_askedInPlace == target;
        request.disk.installLogos = m_logos->isChecked();
        request.disk.partition = m_partition->count() > 0 ? m_partition->currentData().toInt() : 0;
    } else if (QFileInfo::exists(target) &&
               m_services.messageBoxes.show(
                   {target.toStdString() + " exists already. Replace it?", "Export Theme",
                    platform::MessageButtons::OkCancel, platform::MessageIcon::Warning,
                    platform::MessageResult::Cancel}) != platform::MessageResult::Ok) {
        return;
    }

    m_cancel = false;
    setBusy(true);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("Creating the theme folder..."));
    const platform::DriveMap drives = m_services.drives;
    m_worker = std::thread([this, request, drives] {
        const auto result = runExport(
            m_theme, drives, request,
            [this](const exporting::Progress& where) {
                QMetaObject::invokeMethod(
                    this,
                    [this, step = QString::fromStdString(where.step), done = where.done,
                     total = where.total] { showProgress(step, done, total); },
                    Qt::QueuedConnection);
            },
            &m_cancel);
        const QString text =
            result.ok
                ? joined(result.written) + (result.warnings.empty()
                                                ? QString()
                                                : QStringLiteral("\n\n") + joined(result.warnings))
                : QString::fromStdString(result.error);
        QMetaObject::invokeMethod(
            this, [this, ok = result.ok, text] { finish(ok, text); }, Qt::QueuedConnection);
    });
}

void ExportDialog::showProgress(const QString& step, quint64 done, quint64 total) {
    if (!running()) return;
    m_status->setText(step);
    if (total == 0) {
        m_progress->setRange(0, 0);  // a step of unknown length
    } else {
        m_progress->setRange(0, 1000);
        m_progress->setValue(static_cast<int>(done * 1000 / total));
    }
}

void ExportDialog::finish(bool ok, const QString& text) {
    if (m_worker.joinable()) m_worker.join();
    setBusy(false);
    m_progress->setRange(0, 1000);
    m_progress->setValue(ok ? 1000 : 0);
    m_status->setText((ok ? QStringLiteral("Exported:\n") : QString()) + text);
    emit exportFinished(ok, text);
    if (!ok)
        m_services.messageBoxes.show({text.toStdString(), "Export failed",
                                      platform::MessageButtons::Ok, platform::MessageIcon::Stop,
                                      platform::MessageResult::Ok});
}

void ExportDialog::setBusy(bool busy) {
    for (QWidget* input : std::initializer_list<QWidget*>{m_export, m_kind, m_target, m_browse,
                                                          m_partition, m_logos})
        input->setEnabled(!busy);
    m_close->setText(busy ? QStringLiteral("Cancel") : QStringLiteral("Close"));
}

void ExportDialog::reject() {
    if (running()) {  // Cancel: the step under way ends, then finish() reports
        m_cancel = true;
        m_status->setText(QStringLiteral("Stopping..."));
        return;
    }
    QDialog::reject();
}

}  // namespace window
