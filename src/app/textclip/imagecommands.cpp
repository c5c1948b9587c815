#include "textclip/imagecommands.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "base/fileread.h"
#include "base/safewrite.h"
#include "editor.h"
#include "image/imagedots.h"
#include "image/imagefile.h"
#include "textclip/pasteandclear.h"
#include "ui/clipboardbitmap.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

Message problem(const QString& text) {
    return {text.toStdString(), " ", MessageButtons::Ok, MessageIcon::Question};
}

} // namespace

void ImageCommands::importImage() {
    QString filter = "Images (";
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        filter += "*." + QString::fromLatin1(format) + " ";
    }
    filter = filter.trimmed() + ")|" + filter.mid(8).trimmed().replace(' ', ';') + "|";
    const QString path = prompts_.askOpenFileName(view_.owner(), QString(),
                                                  filter + "All files (*.*)|*.*|", "Import image");
    if (!path.isEmpty()) importImageFile(path);
}

void ImageCommands::importImageFile(const QString& path) {
    if (editor_.document.editType != EditMode::Pattern) {
        prompts_.beep();
        return;
    }
    // Read through the core: a pipe or a device is refused unread, and the
    // pixel limit is the command line's.
    const std::string file = QFile::encodeName(path).toStdString();
    std::string bytes;
    const FileReadStatus status = readFileLimited(file, MaxImageFileBytes, bytes);
    if (status != FileReadStatus::Ok) {
        prompts_.showMessage(view_.owner(), imageReadRefusal(file, status));
        return;
    }
    if (failed(imageHeaderRefusal(bytes, file))) return;
    QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    // Formats that tell their size first are refused before their pixels
    // are decoded; the others once they are.
    const QSize size = reader.size();
    if (size.isValid() &&
        failed(imageSizeRefusal(file, uint64_t(size.width()), uint64_t(size.height())))) {
        return;
    }
    const QImage image = reader.read();
    if (!image.isNull() &&
        failed(imageSizeRefusal(file, uint64_t(image.width()), uint64_t(image.height())))) {
        return;
    }
    if (image.isNull()) {
        prompts_.showMessage(view_.owner(),
                             problem(QString("Could not read the image \"%1\": %2")
                                         .arg(QFileInfo(path).fileName(), reader.errorString())));
        return;
    }
    const GridGeometry g = view_.gridGeometry();
    const PlatformBitmap bitmap = bitmapFromImage(image);
    if (!pasteBitmapAsBlock(editor_.document, editor_.history, editor_.selection, bitmap, g.px(),
                            g.py(), std::string())
             .pasted) {
        prompts_.showMessage(view_.owner(), problem("The image could not be turned into dots"));
        return;
    }
    if (editor_.grid.tool != Tool::Select) view_.selectTool(CmdSelect);
    view_.repaintGrid(true);
    view_.refreshHistoryButtons();
}

void ImageCommands::exportImage() {
    const Selection& sel = editor_.selection;
    const Document& doc = editor_.document;
    // The floating block when one floats, otherwise the whole pattern.
    DotGrid dots;
    if (sel.selectionState != SelectionState::None) {
        dots = {sel.blockRect.width(), sel.blockRect.height(), sel.floatingBlock};
    } else {
        dots = {doc.patternWidth,
                doc.patternHeight,
                {doc.workDots.begin(), doc.workDots.begin() + doc.patternDotCount}};
    }
    QString path = prompts_.askSaveFileName(view_.owner(), QString(), "PNG image (*.png)|*.png|",
                                            "Export image");
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".png";
    // Each dot as large as a cell of the grid.
    const int scale = std::max<int>(1, std::min(editor_.settings.gridX, editor_.settings.gridY));
    const std::string file = QFile::encodeName(path).toStdString();
    const Outcome outcome = writeFileSafely(file, encodePng(renderDots(dots, scale, false)));
    failed(outcome);
}

} // namespace dedur
