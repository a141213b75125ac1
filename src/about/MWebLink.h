#pragma once

#include <QString>

namespace platform {
class Prompter;
class Shell;
} // namespace platform

namespace MWebLink {

// What a target names: a web address or a mail address.
enum LinkKind : quint8 { WebLink = 0, MailLink = 1 };

// The address handed to the desktop: a web target without "http://" (exactly, in lower case)
// gets it in front; a mail target always gets "mailto:" in front; any other kind is left as
// it is.
QString linkAddress(const QString& target, quint8 kind);

// Opens the target with the desktop's program for it; true when the desktop took it. A mail
// address is only ever the recipient: what it holds never becomes the message's subject,
// body or attachments.
bool openLink(platform::Shell& shell, const QString& target, quint8 kind);
// Opens the target as openLink does; when nothing on the desktop took it (no web browser or
// mail program set up), says so under `caption`, in Hebrew when `hebrew`.
void openOrTell(platform::Shell& shell, platform::Prompter& prompter, const QString& caption,
                const QString& target, quint8 kind, bool hebrew = false);

} // namespace MWebLink
