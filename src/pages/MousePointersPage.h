// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <string>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLineEdit;

namespace pages {

class PictureBox;

/// Page "Mouse Pointers": twelve pointer buttons (Command10_0..11), the preview Image3 and
/// the path box Text4. Focus on a button previews it as the hover does.
class MousePointersPage : public Page {
    Q_OBJECT
public:
    MousePointersPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                      platform::PictureLoader& pictures, QWidget* parent = nullptr);

    void showState() override;

    /// Pointer pick for slot `index`: stored only when a file was chosen.
    void Command10_Click(int index);
    /// Preview of slot `index` on every mouse motion over its button.
    void Command10_MouseMove(int index);
    /// Empties slot `index`, and the preview when it shows that slot.
    void clearPointer(int index);
    /// A file dropped on a pointer button, taken as if picked there.
    void dropPointer(int index, const std::filesystem::path& hostFile);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const QObject* button) const;
    void markPointer(std::size_t index);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    PictureBox* m_image3;
    QLineEdit* m_text4;
    std::array<SlotButton*, state::kPointerCount> m_command10{};
    int m_previewed = -1;  // the slot Image3 and Text4 show, -1 for none
    // The picture last decoded for each slot, valid while its file keeps its size and time:
    // the preview runs on every mouse motion.
    struct Decoded {
        std::string path;
        platform::FileStamp stamp;
        QImage picture;
    };
    std::array<Decoded, state::kPointerCount> m_decoded;
};

}  // namespace pages
