#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <csignal>
#include <filesystem>

#include "editor.h"
#include "shell/artwork.h"
#include "shell/commandline.h"
#include "shell/datafolder.h"
#include "shell/mainwindow.h"
#include "shell/qtprompts.h"

namespace {

void nameTheApplication() {
    QApplication::setApplicationName("dedur");
    QApplication::setApplicationVersion(DEDUR_VERSION);
}

// --help and --version need no display: answered before Qt looks for one.
int printInformation(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    nameTheApplication();
    int exitCode = 0;
    dedur::parseStartOptions(app.arguments().mid(1), exitCode);
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    if (dedur::wantsInformationOnly(argc, argv)) return printInformation(argc, argv);
    // A file size limit makes a save fail with a message instead of ending
    // the editor with the user's changes.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title.
    nameTheApplication();
    QApplication::setWindowIcon(dedur::programIcon());
    int exitCode = 0;
    const auto options = dedur::parseStartOptions(app.arguments().mid(1), exitCode);
    if (!options) return exitCode;
    if (options->launched) {
        if (const QString error = dedur::enterDataFolder(); !error.isEmpty()) {
            QMessageBox::warning(nullptr, "dedur", error);
        }
    }

    // Settings, glyph files and tables live in the directory we start in.
    std::error_code error;
    dedur::Editor editor(std::filesystem::current_path(error).string());
    dedur::loadSettings(editor);
    dedur::applyStartFile(editor, *options);

    dedur::QtPrompts prompts;
    dedur::MainWindow window(editor, prompts);
    QObject::connect(&window, &dedur::MainWindow::exitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.placeWindow(app.primaryScreen()->size(), app.primaryScreen()->devicePixelRatio());
    window.show();
    window.startUp();
    return app.exec();
}
