// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DriveMap.h"
#include "platform/HostFileSystem.h"
#include "platform/qt/QtCommonDialog.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtPictureLoader.h"
#include "platform/qt/QtProgramLauncher.h"
#include "platform/qt/SdlWavePlayer.h"
#include "window/Services.h"

namespace app {

/// The real platform services on this machine's drives, as the tool runs with them. Creating
/// them touches no audio device, dialog or picture file: each starts on first use.
class HostServices {
public:
    HostServices()
        : m_drives(platform::DriveMap::forHost()),
          m_fileSystem(m_drives),
          m_commonDialog(m_drives, m_messageBoxes),
          m_pictureLoader(m_drives),
          m_wavePlayer(m_drives),
          m_programLauncher(m_drives) {}

    window::Services& services() { return m_services; }
    /// Lets the open-file dialogs start where each kind of dialog last ended, across runs.
    void rememberFolders(platform::FolderMemory& memory) {
        m_commonDialog.setFolderMemory(&memory);
    }

private:
    platform::DriveMap m_drives;
    platform::HostFileSystem m_fileSystem;
    platform::QtMessageBoxes m_messageBoxes;
    platform::QtCommonDialog m_commonDialog;
    platform::QtPictureLoader m_pictureLoader;
    platform::SdlWavePlayer m_wavePlayer;
    platform::QtProgramLauncher m_programLauncher;
    window::Services m_services{m_fileSystem, m_messageBoxes,    m_commonDialog, m_pictureLoader,
                                m_wavePlayer, m_programLauncher, m_drives};
};

}  // namespace app
