#include <QApplication>
#include <QScreen>
#include <csignal>
#include <filesystem>

#include "editor.h"
#include "shell/artwork.h"
#include "shell/mainwindow.h"
#include "shell/qtprompts.h"

int main(int argc, char** argv) {
    // A file size limit makes a save fail with a message instead of ending
    // the editor with the user's changes.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QApplication::setApplicationName("dedur");
    // No display name: Qt would append it to every window title.
    QApplication::setWindowIcon(dedur::programIcon());

    // Settings, glyph files and tables live in the directory we start in.
    std::error_code error;
    dedur::Editor editor(std::filesystem::current_path(error).string());
    dedur::loadSettings(editor);

    dedur::QtPrompts prompts;
    dedur::MainWindow window(editor, prompts);
    QObject::connect(&window, &dedur::MainWindow::exitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.placeWindow(app.primaryScreen()->size(), app.primaryScreen()->devicePixelRatio());
    window.show();
    window.startUp();
    return app.exec();
}
