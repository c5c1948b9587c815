#include "fonts/glyphfilemaker.h"

#include <QProgressDialog>

#include "base/message.h"

namespace dedur {

fontgen::Result makeGlyphFilesShowingProgress(QWidget* owner, const std::string& directory,
                                              const std::function<void(QProgressDialog&)>& watch) {
    QProgressDialog bar(owner);
    bar.setWindowTitle("Glyph files");
    bar.setLabelText(QString("Making the glyph files in \"%1\"...")
                         .arg(QString::fromStdString(printable(directory))));
    bar.setCancelButtonText("Cancel");
    bar.setWindowModality(Qt::WindowModal);
    // A second or two of work: shown at once rather than after a pause.
    bar.setMinimumDuration(0);
    bar.setAutoClose(false);
    bar.setAutoReset(false);
    bar.setMinimumWidth(420);
    bar.show();
    const fontgen::Result result =
        fontgen::makeFonts(directory, false, {}, [&bar, &watch](int done, int total) {
            bar.setMaximum(total);
            // A window-modal bar takes its events here, Cancel included.
            bar.setValue(done);
            if (watch) watch(bar);
            return !bar.wasCanceled();
        });
    bar.close();
    return result;
}

std::string makeFontsCommandFor(const std::string& directory) {
    bool plain = !directory.empty();
    for (const char c : directory) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-' ||
                          c == '+' || c == ',' || c == ':' || c == '@';
        plain = plain && safe;
    }
    std::string quoted;
    if (plain) {
        quoted = directory;
    } else {
        // In single quotes the shell takes everything as it is, but a quote.
        quoted = "'";
        for (const char c : directory)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += "'";
    }
    return "dedur-cli make-fonts " + quoted;
}

} // namespace dedur
