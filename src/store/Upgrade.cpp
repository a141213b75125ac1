#include "store/Upgrade.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Steps.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace store {

namespace {

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

void removeWithJournal(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Makes a rename or a new link survive a power cut as well as a crash.
void syncFolderOf([[maybe_unused]] const QString& path) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(local(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// A file whose creation and copy were committed: its version row is there, since the row is
// written in the same transaction as everything else.
bool isComplete(const QString& path) {
    try {
        const auto conn = Connection::open(path);
        Statement st = conn->prepare(QStringLiteral("SELECT dbVerNum FROM dbDetails"));
        return st.step() && st.integer(0) == SchemaVersion;
    } catch (const StoreError&) {
        return false;
    }
}

} // namespace

NewContactFile::NewContactFile(QString finalPath)
    : m_final(std::move(finalPath)), m_temp(temporaryPath(m_final)) {}

NewContactFile::~NewContactFile() {
    m_tx.reset();
    m_db.close();
}

QString NewContactFile::temporaryPath(const QString& finalPath) {
    return finalPath + QStringLiteral(".new");
}

void NewContactFile::create() {
    removeWithJournal(m_temp);
    m_db.create(m_temp);
    m_tx = std::make_unique<Transaction>(m_db.connection());
    SuppressedSteps steps;
    for (const char* table : {"Vesk", "Work", "dbDetails"})
        CreateContactTable(m_db, QString::fromLatin1(table), steps);
    if (steps.hasPending())
        throw *steps.pending();
}

void NewContactFile::commit() {
    m_tx->commit();
    m_tx.reset();
}

void NewContactFile::install() {
    m_db.close();
    if (std::rename(local(m_temp).constData(), local(m_final).constData()) != 0)
        throw StoreError(StoreError::FileExists,
                         QStringLiteral("The new file cannot take the name %1").arg(m_final));
    syncFolderOf(m_final);
}

void NewContactFile::discard() {
    m_tx.reset();
    m_db.close();
    removeWithJournal(m_temp);
}

void RecoverInterruptedUpgrade(const QString& finalPath) {
    const QString temp = NewContactFile::temporaryPath(finalPath);
    if (!QFileInfo::exists(finalPath) && QFileInfo::exists(temp) && isComplete(temp) &&
        std::rename(local(temp).constData(), local(finalPath).constData()) == 0) {
        syncFolderOf(finalPath);
        return;
    }
    removeWithJournal(temp);
}

QString FirstFreeBackupName(const QString& path) {
    const QString base = path.chopped(3);
    for (int i = 0; i < 1000; ++i) {
        const QString name = base + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
    return {};
}

Backup BackupOldDatabase(const QString& path) {
    const QString base = path.chopped(3);
    // Neither a link nor QFile::rename replaces an existing file, so a taken name is skipped.
    for (int i = 0; i < 1000; ++i) {
        const QString name = base + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
#ifdef Q_OS_UNIX
        if (::link(local(path).constData(), local(name).constData()) == 0) {
            syncFolderOf(path);
            return {name, true};
        }
        if (errno == EEXIST)
            continue;
#else
        if (QFileInfo::exists(name))
            continue;
#endif
        // A file system without links: the old file is moved, and for a moment there is no
        // VESK.MDB; RecoverInterruptedUpgrade completes the step after a crash there.
        if (QFile::rename(path, name))
            return {name, false};
    }
    throw StoreError(StoreError::FileExists, QStringLiteral("The old file cannot be moved aside"));
}

void UndoBackup(const Backup& backup, const QString& path) {
    if (backup.path.isEmpty())
        return;
    if (backup.linked)
        QFile::remove(backup.path);
    else
        QFile::rename(backup.path, path);
}

} // namespace store
