#include "window/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "fonts/glyphfilemaker.h"

namespace dedur {

QString dataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/dedur";
}

QString enterDataFolder(bool& entered) {
    entered = false;
    const QString folder = dataFolder();
    // Without its folder the editor would keep its settings and tables
    // wherever it was started: it says so and stops instead.
    const QString stop = "\ndedur stops rather than keep its files anywhere else; move that "
                         "away (or set XDG_DATA_HOME) and start it again.";
    const QFileInfo info(folder);
    if (info.isSymLink() && !info.exists())
        return QString("The data folder \"%1\" is a link to nothing.").arg(folder) + stop;
    if (info.exists() && !info.isDir())
        return QString("The data folder \"%1\" is a file, not a folder.").arg(folder) + stop;
    if (!QDir().mkpath(folder))
        return QString("The data folder \"%1\" could not be made.").arg(folder) + stop;
    if (!QDir::setCurrent(folder))
        return QString("The data folder \"%1\" cannot be worked in.").arg(folder) + stop;
    entered = true;
    for (const char* name :
         {"STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15", "SPCFSUPP.15"}) {
        if (QFileInfo::exists(QDir(folder).filePath(name))) continue;
        // With a bar: a cancelled run leaves the files to the font modes'
        // own offer.
        const fontgen::Result made =
            makeGlyphFilesShowingProgress(nullptr, QFile::encodeName(folder).toStdString());
        if (!made.ok && !made.cancelled) {
            return QString("The glyph files could not be made in \"%1\": %2")
                .arg(folder, QString::fromStdString(made.error));
        }
        break;
    }
    return {};
}

} // namespace dedur
