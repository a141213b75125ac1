#pragma once

#include "platform/TrayIcon.h"

#include <QIcon>

namespace platform::testing {

// A notification area that tests can make present or absent, and an icon whose clicks they
// send themselves.
class FakeTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    bool add(const QIcon& i, const QString& t) override {
        ++adds;
        icon = i;
        tip = t;
        shown = available;
        return available;
    }
    void remove() override {
        ++removes;
        shown = false;
    }
    bool isShown() const override { return shown; }

    void doubleClick() { emit doubleClicked(); }
    void rightClick(QPoint at) { emit menuRequested(at); }

    bool available = true;
    bool shown = false;
    int adds = 0;
    int removes = 0;
    QIcon icon;
    QString tip;
};

} // namespace platform::testing
