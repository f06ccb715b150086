// SPDX-License-Identifier: MIT
#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

QString messageText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

MessageResult QtMessageBoxes::show(const Message& message) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(message.title));
    box.setText(messageText(message.text));
    box.setTextFormat(Qt::PlainText);
    switch (message.icon) {
        case MessageIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Application: {
            // The window's icon, which falls back to the application's.
            const QWidget* owner = box.parentWidget();
            const QIcon icon = owner ? owner->windowIcon() : QApplication::windowIcon();
            box.setIconPixmap(icon.pixmap(48));
            break;
        }
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if (!message.okText.empty()) ok->setText(QString::fromStdString(message.okText));
    QPushButton* cancel = nullptr;
    QPushButton* other = nullptr;
    if (message.buttons == MessageButtons::OkOtherCancel) {
        other = box.addButton(QString::fromStdString(message.otherText), QMessageBox::ActionRole);
    }
    if (message.buttons != MessageButtons::Ok) {
        cancel = box.addButton(QMessageBox::Cancel);
        if (!message.cancelText.empty())
            cancel->setText(QString::fromStdString(message.cancelText));
        box.setEscapeButton(cancel);  // closing the box cancels
    } else {
        box.setEscapeButton(ok);  // a box with OK alone answers OK however it is closed
    }
    box.setDefaultButton(message.defaultButton == MessageResult::Cancel && cancel ? cancel : ok);
    box.exec();
    if (other && box.clickedButton() == other) return MessageResult::Other;
    return cancel && box.clickedButton() == cancel ? MessageResult::Cancel
           : box.clickedButton() == ok             ? MessageResult::Ok
           : cancel                                ? MessageResult::Cancel
                                                   : MessageResult::Ok;
}

}  // namespace platform
