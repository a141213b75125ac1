#include "shell/SecondaryWindow.h"

#include "shell/Placement.h"

#include <QShowEvent>

namespace shell {

SecondaryWindow::SecondaryWindow(QWidget* owner) : QDialog(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
}

void SecondaryWindow::placeOverOwner() {
    if (const QWidget* owner = parentWidget())
        placeCentredOver(*this, *owner);
}

void SecondaryWindow::showEvent(QShowEvent* event) {
    // The show event comes before the window is mapped, with its final size: placing it
    // here puts it where it belongs without a visible jump.
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        placeOverOwner();
    }
    QDialog::showEvent(event);
}

} // namespace shell
