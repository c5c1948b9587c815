#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "editor.h"
#include "editorsettings.h"
#include "ui/artwork.h"
#include "ui/qtprompts.h"
#include "window/commandline.h"
#include "window/datafolder.h"
#include "window/mainwindow.h"

namespace {

void nameTheApplication() {
    QApplication::setApplicationName("dedur");
    // The window's class (X11) and application id (Wayland): window lists
    // and the launcher find it by "dedur".
    QGuiApplication::setDesktopFileName("dedur");
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

QtMessageHandler qtMessages = nullptr;
QStringList startArguments;

// While the application starts: Qt's own lines about a display it cannot
// open, and its abort, give way to one line of ours and an exit status.
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (!QByteArray(context.category).startsWith("qt.qpa")) qtMessages(type, context, text);
        return;
    }
    int exitCode = 0;
    if (!dedur::parseStartOptions(startArguments, exitCode)) std::_Exit(exitCode);
    std::fputs("dedur: no graphical display could be opened (DISPLAY or WAYLAND_DISPLAY names "
               "none that answers); the editor needs one, dedur-cli works without.\n",
               stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv) {
    if (dedur::wantsInformationOnly(argc, argv)) return printInformation(argc, argv);
    for (int i = 1; i < argc; ++i) startArguments << QString::fromLocal8Bit(argv[i]);
    QCoreApplication::setApplicationName("dedur");
    qtMessages = qInstallMessageHandler(startupMessages);
    // A file size limit makes a save fail with a message instead of ending
    // the editor with the user's changes.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    // No display name: Qt would append it to every window title.
    nameTheApplication();
    QApplication::setWindowIcon(dedur::programIcon());
    int exitCode = 0;
    const auto options = dedur::parseStartOptions(app.arguments().mid(1), exitCode);
    if (!options) return exitCode;
    if (options->launched) {
        bool entered = false;
        if (const QString error = dedur::enterDataFolder(entered); !error.isEmpty()) {
            QMessageBox::warning(nullptr, "dedur", error);
        }
        if (!entered) return 1;
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
