#pragma once

#include <QFile>
#include <QString>

namespace update {

// The installer being downloaded into its folder. The bytes go to a new file of a name of its
// own in that folder, which takes the installer's name only once complete: an earlier file of
// that name stays until then, and whatever stands at the name, a link to a file elsewhere
// too, is replaced rather than written through, so nothing outside the folder is touched.
class InstallerFile {
public:
    InstallerFile(const QString& folder, const QString& name);
    // An unfinished download goes with it.
    ~InstallerFile();
    InstallerFile(const InstallerFile&) = delete;
    InstallerFile& operator=(const InstallerFile&) = delete;

    // Creates the new file; false when it cannot be, or when a folder stands at the name.
    bool open();
    QIODevice& device() { return m_file; }
    // Where the installer ends up: the folder and its name.
    const QString& fileName() const { return m_path; }
    // Writes the file out and gives it the installer's name; false when that fails, and the
    // new file is removed.
    bool commit();

private:
    QString m_folder;
    QString m_path;
    QFile m_file;
    bool m_committed = false;
};

} // namespace update
