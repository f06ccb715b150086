#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLineEdit;
class QPushButton;

namespace pages {

class PictureBox;

/// Page "Mouse Pointers": twelve pointer buttons (Command10_0..11), the preview Image3 and
/// the path box Text4.
class MousePointersPage : public QWidget {
    Q_OBJECT
public:
    MousePointersPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                      platform::PictureLoader& pictures, QWidget* parent = nullptr);

    /// Pointer pick for slot `index`: stored only when a file was chosen.
    void Command10_Click(int index);
    /// Preview of slot `index` on every mouse motion over its button.
    void Command10_MouseMove(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    PictureBox* m_image3;
    QLineEdit* m_text4;
    std::array<QPushButton*, state::kPointerCount> m_command10{};
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
