#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "fontgen.h"

namespace dedur {

QString dataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/dedur";
}

QString enterDataFolder() {
    const QString folder = dataFolder();
    if (!QDir().mkpath(folder)) return QString("Could not make the folder \"%1\"").arg(folder);
    if (!QDir::setCurrent(folder)) return QString("Could not work in \"%1\"").arg(folder);
    for (const char* name :
         {"STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15", "SPCFSUPP.15"}) {
        if (QFileInfo::exists(QDir(folder).filePath(name))) continue;
        const fontgen::Result made =
            fontgen::makeFonts(QFile::encodeName(folder).toStdString(), false);
        if (!made.ok) {
            return QString("The glyph files could not be made in \"%1\": %2")
                .arg(folder, QString::fromStdString(made.error));
        }
        break;
    }
    return {};
}

} // namespace dedur
