#include "platform/QtPrompter.h"

#include <QMessageBox>

namespace platform {

namespace {
QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Answer QtPrompter::ask(const Message& message) {
    QMessageBox box(toQt(message.icon), message.caption, message.text, QMessageBox::NoButton,
                    m_parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    switch (message.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    // Closing the box with Esc or its close button, or the program being asked to end while
    // the box is open, counts as the refusing answer where there is one.
    if (box.clickedButton() == nullptr && message.buttons == Buttons::OkCancel)
        return Answer::Cancel;
    if (box.clickedButton() == nullptr && message.buttons == Buttons::YesNo)
        return Answer::No;
    return Answer::Ok;
}

} // namespace platform
