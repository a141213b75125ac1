#include "about/MWebLink.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

#include <QUrl>

namespace MWebLink {

namespace {
const QString http = QStringLiteral("http://");
const QString mailto = QStringLiteral("mailto:");
} // namespace

QString linkAddress(const QString& target, quint8 kind) {
    switch (kind) {
    case WebLink:
        return target.left(7) == http ? target : http + target;
    case MailLink:
        return mailto + target;
    default:
        return target;
    }
}

bool openLink(platform::Shell& shell, const QString& target, quint8 kind) {
    if (kind != MailLink)
        return shell.openUrl(QUrl(linkAddress(target, kind)));
    // A card's address may come from a vCard someone sent: "?" or "#" in it stay part of the
    // address rather than adding "attach=..." or a body to the new message.
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(linkAddress(target, kind).mid(mailto.size()), QUrl::DecodedMode);
    return shell.openUrl(url);
}

void openOrTell(platform::Shell& shell, platform::Prompter& prompter, const QString& caption,
                const QString& target, quint8 kind, bool hebrew) {
    if (openLink(shell, target, kind))
        return;
    const QString text = kind == MailLink
                             ? i18n::messages::mailNotOpened(target, hebrew)
                             : i18n::messages::webPageNotOpened(linkAddress(target, kind));
    prompter.tell(text, caption, platform::Icon::Exclamation);
}

} // namespace MWebLink
