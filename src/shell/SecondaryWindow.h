#pragma once

#include <QDialog>

namespace shell {

// The base of every window the main window opens (editor, search, and those to come): a
// non-modal dialog owned by the main window, so assistive technology sees a dialog named by
// its caption; deleted when it closes. The first time it is shown it is placed over its
// owner (centred by default) and wholly on the owner's screen; later showings leave it
// where the user put it.
class SecondaryWindow : public QDialog {
    Q_OBJECT
public:
    explicit SecondaryWindow(QWidget* owner);

protected:
    // The first placement; the dialer overrides it with placeAtCentreOf.
    virtual void placeOverOwner();
    void showEvent(QShowEvent* event) override;

private:
    bool m_placed = false;
};

} // namespace shell
