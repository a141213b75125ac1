#include "update/InstallerFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace update {

InstallerFile::InstallerFile(const QString& folder, const QString& name)
    : m_folder(folder), m_path(folder + name) {}

InstallerFile::~InstallerFile() {
    if (m_committed || m_file.fileName().isEmpty())
        return;
    m_file.close();
    m_file.remove();
}

bool InstallerFile::open() {
    const QFileInfo target(m_path);
    if (target.isDir() && !target.isSymLink())
        return false;
    // NewOnly creates the file or fails: an existing name, a link included, is never opened.
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_file.setFileName(
            m_folder + QStringLiteral(".download-%1")
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!m_file.exists())
            break; // not a taken name: the folder refuses new files
    }
    m_file.setFileName({});
    return false;
}

bool InstallerFile::commit() {
    if (!m_file.isOpen())
        return false;
    bool written = m_file.flush();
#ifdef Q_OS_UNIX
    written = written && ::fsync(m_file.handle()) == 0;
#endif
    m_file.close();
    if (written && m_file.error() == QFileDevice::NoError) {
#ifdef Q_OS_UNIX
        // rename() replaces the name itself, whatever it is, in one step.
        m_committed = std::rename(QFile::encodeName(m_file.fileName()).constData(),
                                  QFile::encodeName(m_path).constData()) == 0;
#else
        QFile::remove(m_path);
        m_committed = m_file.rename(m_path);
#endif
    }
    if (!m_committed)
        m_file.remove();
    return m_committed;
}

} // namespace update
