// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "pages/Slots.h"

class QPlainTextEdit;

namespace pages {

/// Page "About": the grey text box Text5. Nothing reads it, so edits change nothing.
class AboutPage : public Page {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    /// The lines of the About text.
    static QString text();

private:
    QPlainTextEdit* m_text5;
};

}  // namespace pages
