#pragma once

#include "platform/Shell.h"

#include <QList>

namespace platform::testing {

// Records every link opened and program started, and answers with `succeeds`.
class RecordingShell final : public Shell {
public:
    struct Program {
        QString path;
        QStringList arguments;

        bool operator==(const Program&) const = default;
    };

    bool openUrl(const QUrl& url) override {
        urls.append(url);
        return succeeds;
    }
    bool startProgram(const QString& path, const QStringList& arguments = {}) override {
        programs.append({path, arguments});
        return succeeds;
    }

    bool succeeds = true;
    QList<QUrl> urls;
    QList<Program> programs;
};

} // namespace platform::testing
