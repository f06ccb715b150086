#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace pages {

/// Page "About": the grey text box Text5. Nothing reads it, so edits change nothing.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    /// The lines of the About text.
    static QString text();

private:
    QPlainTextEdit* m_text5;
};

}  // namespace pages
