#pragma once

#include "platform/Prompter.h"
#include "store/DatabaseCopy.h"
#include "store/Startup.h"

#include <QList>
#include <QString>

// The store's outcomes in the program's words. The store shows nothing itself; the program
// shows these. Qt Core only, so the store's tests and tools show them too.
namespace shell {

// The message box of a startup notice. `crlf` ends a line of a message.
platform::Message startupMessage(const store::StartupNotice& notice, const QString& title,
                                 const QString& crlf);
// Shows the startup's notices one after the other, in their order.
void tellStartup(platform::Prompter& prompter, const QList<store::StartupNotice>& notices,
                 const QString& title, const QString& crlf);

// Why a copy of the contact file failed, as the export's and the import's messages say it.
QString copyFailureReason(const store::CopyFailure& failure);

} // namespace shell
