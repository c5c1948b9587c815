#pragma once

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/wait.h>

#include "editor.h"
#include "editorsettings.h"
#include "fakeprompts.h"
#include "grid/gridwidget.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "window/palette.h"

namespace dedur::test {

// Colours of the default settings' grid.
inline constexpr QRgb Black = qRgb(0, 0, 0);
inline constexpr QRgb White = qRgb(255, 255, 255);

// An editor started in a fresh directory, as the program starts.
struct EditorFixture {
    explicit EditorFixture(const std::string& settings = "", bool start = true) {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        if (!settings.empty()) writeBytes(dir.file("DEDUR.INI"), settings);
        editor = std::make_unique<Editor>(dir.path().string());
        loadSettings(*editor);
        window = std::make_unique<MainWindow>(*editor, prompts);
        window->placeWindow(QSize(1400, 1100));
        if (start) launch();
    }
    ~EditorFixture() {
        window.reset();
        std::filesystem::current_path(previous);
    }

    void launch() {
        // The pointer check and the tooltips run when a test ticks, never on
        // their own: the real pointer is nowhere near an offscreen grid.
        window->ticker().stop();
        window->show();
        window->startUp();
        (void)QTest::qWaitForWindowExposed(window.get());
    }

    // Runs `command`, whose dialog `work` fills in and answers.
    template <class Dialog, class Work> void inDialog(int command, Work work) {
        window->runDialog = [&](QDialog* d) {
            work(static_cast<Dialog*>(d));
            return d->result();
        };
        window->dispatchCommand(command);
    }

    GridWidget& grid() { return *window->grid(); }
    Document& doc() { return editor->document; }
    QPoint cell(int x, int y) {
        const GridGeometry g = grid().geometry();
        return QPoint(g.px() * x + 6 + g.gridX / 2, g.py() * y + 6 + g.gridY / 2);
    }
    QRgb pixel(QPoint p) { return grid().painter().pixelAt(p); }
    QRgb cellPixel(int x, int y) { return pixel(cell(x, y)); }

    // A press on one dot, moves over the others, release on the last.
    void drag(std::initializer_list<QPoint> dots) {
        auto it = dots.begin();
        QTest::mousePress(&grid(), Qt::LeftButton, {}, cell(it->x(), it->y()));
        QPoint last = *it;
        for (++it; it != dots.end(); ++it) {
            QTest::mouseMove(&grid(), cell(it->x(), it->y()));
            last = *it;
        }
        QTest::mouseRelease(&grid(), Qt::LeftButton, {}, cell(last.x(), last.y()));
    }

    std::string rows() {
        std::string text;
        for (const std::string& r : rowsOf(doc())) text += r + "\n";
        return text;
    }

    TempDir dir;
    std::filesystem::path previous;
    FakePrompts prompts;
    std::unique_ptr<Editor> editor;
    std::unique_ptr<MainWindow> window;
};

// What a shell command writes to standard output, and how it ended.
struct ShellRun {
    int status = -1;
    std::string out;
};
inline ShellRun shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

} // namespace dedur::test
