#include "shell/StoreMessages.h"

#include "i18n/Messages.h"

namespace shell {

namespace messages = i18n::messages;

platform::Message startupMessage(const store::StartupNotice& notice, const QString& title,
                                 const QString& crlf) {
    using Kind = store::StartupNotice::Kind;
    using platform::Icon;
    auto box = [&](const QString& text, Icon icon = Icon::None) {
        return platform::Message{text, title, platform::Buttons::Ok, icon};
    };
    switch (notice.kind) {
    case Kind::NewerSchema:
        return box(messages::newerSchema());
    case Kind::CreationFailed:
        return box(messages::creationFailed(crlf), Icon::Critical);
    case Kind::Created:
        return box(messages::creationFinished());
    case Kind::UpgradeFailed:
        return box(messages::upgradeFailed(crlf), Icon::Critical);
    case Kind::OldTableUnreadable:
        return box(messages::failedToOpen());
    case Kind::Upgraded:
        return box(messages::upgradeFinished());
    case Kind::NotCopied:
        return box(messages::notCopied(notice.notCopied, notice.unreadable, notice.backup, crlf),
                   Icon::Exclamation);
    }
    return {}; // every kind is handled above
}

void tellStartup(platform::Prompter& prompter, const QList<store::StartupNotice>& notices,
                 const QString& title, const QString& crlf) {
    for (const store::StartupNotice& notice : notices)
        prompter.ask(startupMessage(notice, title, crlf));
}

QString copyFailureReason(const store::CopyFailure& failure) {
    using Reason = store::CopyFailure::Reason;
    switch (failure.reason) {
    case Reason::TargetExists:
        return messages::fileAlreadyExists();
    case Reason::OntoItself:
        return messages::copyOntoItself();
    case Reason::NotCopied:
        return messages::copyFailed(failure.path, failure.detail);
    case Reason::NotARegularFile:
        return messages::notARegularFile(failure.path);
    case Reason::DiskFull:
        return messages::diskFull();
    case Reason::Damaged:
        return messages::fileDamaged(failure.detail);
    case Reason::MissingTable:
        return messages::missingTable(failure.table);
    case Reason::OtherFields:
        return messages::otherFields(failure.table);
    case Reason::NoVersion:
        return messages::noVersion();
    case Reason::OlderVersion:
        return messages::olderVersion(failure.version);
    case Reason::NewerVersion:
        return messages::newerVersion(failure.version);
    case Reason::CardsRefused:
        return messages::cardsRefused(failure.cards);
    case Reason::StoreFailed:
        break;
    }
    return failure.detail;
}

} // namespace shell
