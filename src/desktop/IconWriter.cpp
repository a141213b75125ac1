// Writes the program's icon for the desktop's icon theme: the SVG and the PNG sizes, all
// from the drawing the program uses for its own windows.
//   orvenna-icons OUTPUT-FOLDER NAME SIZE...
// gives OUTPUT-FOLDER/scalable/apps/NAME.svg and OUTPUT-FOLDER/SIZExSIZE/apps/NAME.png.
#include "shell/AppIcon.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

bool write(const QString& folder, const QString& name, const QByteArray& data) {
    if (!QDir().mkpath(folder))
        return false;
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!write(out.filePath(QStringLiteral("scalable/apps")), name + QStringLiteral(".svg"),
               shell::appIconSvg().toUtf8()))
        return 1;
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = out.filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (size <= 0 || !QDir().mkpath(folder) ||
            !shell::appIconImage(size).save(QDir(folder).filePath(name + QStringLiteral(".png")),
                                            "PNG"))
            return 1;
    }
    return 0;
}
