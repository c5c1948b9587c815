#include "window/mainwindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <filesystem>

#include "document/patternfile.h"
#include "dotplace.h"
#include "editorsettings.h"
#include "fonts/fontdocumentbridge.h"
#include "fonts/glyphlist.h"
#include "grid/gridwidget.h"
#include "panel/panelview.h"
#include "ui/artwork.h"
#include "ui/commandids.h"
#include "ui/prompts.h"
#include "window/acceleratorfilter.h"
#include "window/commandtable.h"
#include "window/palette.h"

namespace dedur {

MainWindow::MainWindow(Editor& editor, Prompts& prompts) : editor_(editor), prompts_(prompts) {
    setWindowTitle(PatternTitle);
    setWindowIcon(programIcon());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    palette_ = new PaletteStrip(central, central);
    grid_ = new GridWidget(editor_, prompts_);
    // The grid fills its area; only when zoomed larger than the window does
    // it scroll (see GridWidget::fitContent).
    gridArea_ = new QScrollArea(central);
    gridArea_->setFrameShape(QFrame::NoFrame);
    gridArea_->setFocusPolicy(Qt::NoFocus);
    gridArea_->setWidgetResizable(true);
    gridArea_->setWidget(grid_);
    layout->addWidget(palette_);
    // A BDF font's glyphs are listed beside the grid.
    auto* row = new QWidget(central);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    glyphList_ = new GlyphList(editor_.font, row);
    glyphList_->setFixedWidth(240);
    glyphList_->hide();
    rowLayout->addWidget(gridArea_, 1);
    rowLayout->addWidget(glyphList_);
    layout->addWidget(row, 1);
    setCentralWidget(central);

    buildStatusBar();

    buildMenu();
    new AcceleratorFilter(*this);
    connect(palette_, &PaletteStrip::commandPosted, this, &MainWindow::dispatchCommand,
            Qt::QueuedConnection);
    connect(palette_, &PaletteStrip::beep, this, [this] { prompts_.beep(); });
    connect(palette_, &PaletteStrip::navigate, this, &MainWindow::navigate);
    connect(palette_, &PaletteStrip::numberBoxNotified, this,
            [this](int code) { controllers_.patterns.numberBoxNotified(code); });
    connect(grid_, &GridWidget::statusText, this, &MainWindow::setStatusText);
    connect(grid_, &GridWidget::modified, this, &MainWindow::refreshHistoryButtons);
    connect(grid_, &GridWidget::modified, this,
            [this] { controllers_.panel.refreshPanelView(false); });
    // The second part of the status bar, which the classic layout leaves
    // empty, tells where the dot under the pointer lands in display memory.
    connect(grid_, &GridWidget::dotUnderPointer, this, [this](int x, int y) {
        // A picture's dots have no place in the panel's memory.
        const bool panel = editor_.document.kind == DocumentKind::Patterns;
        statusParts_[1]->setText(
            x < 0 || !panel ? QString() : QString::fromStdString(dotPlaceText(editor_, x, y)));
    });
    connect(grid_, &GridWidget::zoomRequested, this,
            [this](int direction) { controllers_.grid.zoom(direction); });
    // A picture dropped on a pattern file comes in as patterns, as always;
    // dropped on a picture it opens in its place.
    connect(grid_, &GridWidget::imageDropped, this, [this](const QString& path) {
        // A BDF font dropped anywhere opens as a font document.
        if ((editor_.document.kind == DocumentKind::Image &&
             editor_.document.editType == EditMode::Pattern) ||
            isBdfPath(QFile::encodeName(path).toStdString())) {
            dispatchDroppedFile(path);
        } else {
            controllers_.images.importImageFile(path);
        }
    });
    connect(grid_, &GridWidget::shiftRequested, this, [this](int dx, int dy) {
        controllers_.transforms.apply({TransformKind::Shift, dx, dy});
    });
    connect(grid_, &GridWidget::characterTyped, this, &MainWindow::typed);
    connect(grid_, &GridWidget::advanceDropped, this, [this](int advance) {
        controllers_.fontDocument.setAdvance(advance);
        refreshHistoryButtons();
    });
    connect(glyphList_, &GlyphList::glyphChosen, this, [this](int number) {
        controllers_.fontDocument.goToGlyph(number);
        setFocus();
    });
    connect(grid_, &GridWidget::contextMenuRequested, this,
            [this](const QPoint& at) { editMenu_->exec(at); });
    connect(&timer_, &QTimer::timeout, this, &MainWindow::timerTick);
    timer_.start(100);
}

MainWindow::~MainWindow() {
    palette_->destroyTooltips();
}

QAction* MainWindow::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::buildMenu() {
    BuiltMenus built = buildMenuBar(
        *menuBar(), this, [this](int id) { dispatchCommand(id); }, [this] { updateMenuState(); });
    actions_ = std::move(built.actions);
    editMenu_ = built.edit;
}

void MainWindow::placeWindow(QSize screen, qreal ratio) {
    pixelRatio_ = ratio > 0 ? ratio : 1.0;
    const auto pixels = [this](int v) { return static_cast<int>(std::lround(v * pixelRatio_)); };
    const WindowRect r =
        windowRect(editor_.settings.mainWinRect, editor_.settings.gridX, editor_.settings.gridY,
                   screen * pixelRatio_, pixels(menuBar()->sizeHint().height()),
                   pixels(style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    // The rectangle is the frame's, in the screen's pixels; Qt places the
    // frame by its corner but sizes the inside, so the size is fitted again
    // once the window manager has framed the window.
    const auto points = [this](int v) { return static_cast<int>(std::lround(v / pixelRatio_)); };
    frameToFit_ = QRect(QPoint(points(r.left), points(r.top)),
                        QSize(points(r.right - r.left), points(r.bottom - r.top)));
    move(frameToFit_.topLeft());
    fitFrame();
}

void MainWindow::fitFrame() {
    if (frameToFit_.isNull()) return;
    const QSize margins = frameGeometry().size() - geometry().size();
    const QSize inside = frameToFit_.size() - margins;
    if (size() != inside) resize(inside.expandedTo(QSize(1, 1)));
    // Done once a frame (or none: no window manager) shows around it.
    if (isVisible() && frameGeometry().size() == frameToFit_.size()) frameToFit_ = QRect();
}

WindowRect MainWindow::savedWindowRect() const {
    const QRect frame = frameGeometry();
    const auto pixels = [this](int v) { return static_cast<int>(std::lround(v * pixelRatio_)); };
    return {pixels(frame.left()), pixels(frame.top()), pixels(frame.left() + frame.width()),
            pixels(frame.top() + frame.height())};
}

void MainWindow::startUp() {
    const std::string& dir = editor_.startupDirectory;
    if (editor_.settingsLinkRefused) prompts_.showMessage(this, settingsLinkRefusal(dir));
    controllers_.texts.loadFonts();
    try {
        controllers_.fonts.enterEditMode();
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
    }
    refreshButton(CmdPaste, clipboardHasBitmap());
    showDocumentKind();
}

void MainWindow::setStatusText(const QString& text) {
    if (statusBar()) statusParts_[0]->setText(text.left(255));
}

QString MainWindow::statusText() const {
    return statusParts_[0]->text();
}

void MainWindow::setTitle(const std::string& name) {
    std::string shown = name;
    std::error_code error;
    if (!name.empty() && fileCanBeRead(name)) {
        shown = std::filesystem::absolute(name, error).lexically_normal().string();
    }
    const char* prefix = editor_.document.editType == EditMode::Pattern ? PatternTitle : FontTitle;
    setWindowTitle(
        QString::fromLocal8Bit(formatText("%s : ( %s )", prefix, shown.c_str()).c_str()));
}

void MainWindow::refreshButton(int command, bool clipboardBitmap) {
    const Document& doc = editor_.document;
    const History& h = editor_.history;
    if (command == CmdUndo || command == CmdRedo || command == CmdPaste ||
        (command == CmdDeletePattern && doc.editType == EditMode::Pattern)) {
        palette_->setButtonEnabled(command, command == CmdUndo    ? h.undoCount() > 0
                                            : command == CmdRedo  ? h.redoCount() > 0
                                            : command == CmdPaste ? clipboardBitmap
                                                                  : doc.patternCount > 1);
    }
}

void MainWindow::refreshHistoryButtons() {
    refreshButton(CmdUndo);
    refreshButton(CmdRedo);
}

void MainWindow::showNavigation(int number) {
    const Document& doc = editor_.document;
    QString name;
    if (doc.editType == EditMode::Pattern) {
        const auto named = editor_.sidecar.names.find(number);
        if (named != editor_.sidecar.names.end()) name = QString::fromStdString(named->second);
    }
    if (doc.kind == DocumentKind::Font && doc.editType == EditMode::Pattern) {
        showGlyphList(number);
        if (number >= 1 && number <= static_cast<int>(editor_.font.glyphs.size()))
            name = glyphRowText(editor_.font, number - 1);
    } else {
        glyphList_->hide();
    }
    palette_->showNavigation(number, doc.patternCount, name);
}

bool MainWindow::clipboardHasBitmap() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void MainWindow::commitSelection() {
    if (editor_.selection.selectionState != SelectionState::None) grid_->endSelection(true);
}

void MainWindow::dispatchCommand(int id) {
    // Whatever a command asks of memory, running out of it ends the command,
    // not the program.
    try {
        runCommand(id);
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
    }
}

void MainWindow::showOutOfMemory() {
    prompts_.showMessage(this, {"Not enough memory to finish this command; nothing was lost.", " ",
                                MessageButtons::Ok, MessageIcon::Question});
}

void MainWindow::sayWhereCopyIs() {
    if (copyKeySaid_) return;
    copyKeySaid_ = true;
    setStatusText("Ctrl+C does nothing here: Ctrl+Insert copies");
}

void MainWindow::runCommand(int id) {
    const Tool toolBefore = editor_.grid.tool;
    const CommandRow* row = findCommand(id);
    if (row && row->sameAs) {
        row = findCommand(row->sameAs);
        if (!row || (row->enabled && !row->enabled(*this))) return;
        id = row->id;
    }
    if (row && row->run) row->run(*this, id);
    showDocumentKind();
    // Leaving the select tool drops a floating block.
    if (toolBefore == Tool::Select && editor_.grid.tool != Tool::Select) commitSelection();
    refreshHistoryButtons();
    controllers_.panel.refreshPanelView(true);
    if (editor_.settingsWriteFailed && !settingsFailureSaid_) {
        settingsFailureSaid_ = true;
        prompts_.showMessage(this, settingsWriteFailure(editor_.startupDirectory));
    }
}

void MainWindow::dispatchDroppedFile(const QString& path) {
    try {
        controllers_.files.openPath(QFile::encodeName(path).toStdString());
        showDocumentKind();
        refreshHistoryButtons();
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
    }
}

void MainWindow::showDocumentKind() {
    const Document& doc = editor_.document;
    const bool panel = doc.kind == DocumentKind::Patterns || doc.editType != EditMode::Pattern;
    if (doc.editType == EditMode::Pattern) palette_->setButtonEnabled(CmdPatternSize, panel);
    // Cells below the smallest step are a picture's only.
    if (doc.kind == DocumentKind::Patterns && editor_.settings.zoomCell > 0 &&
        editor_.settings.zoomCell < 4) {
        editor_.settings.zoomCell = 4;
        saveZoom(editor_);
        grid_->repaintAll(true);
    }
    // The panel view shows patterns on the panel; a picture has no place there.
    if (!panel && panelView() && panelView()->isVisible()) panelView()->hide();
}

void MainWindow::typed(const QString& text) {
    // In a font document a typed character finds its glyph; elsewhere it
    // goes to the Big5 glyph files as always.
    if (controllers_.fontDocument.isOpen()) {
        controllers_.fontDocument.typedText(text);
    } else {
        controllers_.fonts.typedText(text);
    }
}

void MainWindow::showGlyphList(int number) {
    GlyphListModel& model = glyphList_->model();
    if (model.rowCount() != static_cast<int>(editor_.font.glyphs.size())) {
        model.refresh();
    } else {
        glyphList_->viewport()->update(); // another font of as many glyphs
    }
    glyphList_->show();
    glyphList_->showGlyph(number);
}

void MainWindow::toggleStatusBar() {
    statusBarShown_ = !statusBarShown_;
    statusBar()->setVisible(statusBarShown_);
}

void MainWindow::navigate(int action) {
    using A = QAbstractSlider;
    QScrollBar* bar = palette_->scrollBar();
    const Document& doc = editor_.document;
    const int max =
        doc.editType == EditMode::Pattern ? doc.patternCount : glyphKind(doc.editType).count;
    const int step = action == A::SliderSingleStepSub   ? -1
                     : action == A::SliderSingleStepAdd ? 1
                     : action == A::SliderPageStepSub   ? -5
                     : action == A::SliderPageStepAdd   ? 5
                                                        : 0;
    int number = action == A::SliderMove        ? bar->sliderPosition()
                 : action == A::SliderToMinimum ? 1
                 : action == A::SliderToMaximum ? max
                                                : editor_.currentNumber + step;
    number = std::clamp(number, 1, std::max(max, 1));
    // The bar moves only as far as the navigation says.
    bar->setSliderPosition(number);
    if (number == editor_.currentNumber) return;
    if (doc.editType == EditMode::Pattern) {
        if (doc.kind == DocumentKind::Font) {
            controllers_.fontDocument.goToGlyph(number);
        } else {
            controllers_.patterns.goTo(number);
        }
    } else {
        controllers_.fonts.goToGlyph(number);
        grid_->repaintAll(true);
    }
    bar->setSliderPosition(number);
    setFocus();
    controllers_.panel.refreshPanelView(true);
}

void MainWindow::selectTool(int id) {
    grid_->setToolCommand(id);
    palette_->markTool(id);
}

void MainWindow::exitSequence() {
    if (prompts_.showMessage(this, {"Are you sure to Exit ?", "EXIT", MessageButtons::YesNo,
                                    MessageIcon::None}) == IDNO) {
        return;
    }
    saveModeSettings(editor_);
    if (controllers_.files.querySave() == -1) return;
    saveWindowRect(editor_, savedWindowRect(), isMinimized());
    timer_.stop();
    exiting_ = true;
    emit exitRequested();
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (exiting_) {
        event->accept();
        return;
    }
    event->ignore();
    dispatchCommand(CmdExit);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) grid_->setActivatedSinceClick(isActiveWindow());
    QMainWindow::changeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    fitFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitFrame();
    QMetaObject::invokeMethod(
        this, [this] { dispatchCommand(CmdLayout); }, Qt::QueuedConnection);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) commitSelection();
    if (!event->text().isEmpty()) typed(event->text());
}

void MainWindow::buildStatusBar() {
    auto* parts = new QWidget(statusBar());
    for (size_t i = 0; i < statusParts_.size(); ++i) {
        statusParts_[i] = new QLabel(parts);
        statusParts_[i]->setObjectName(QString("statusPart%1").arg(i));
        statusParts_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusBar()->addWidget(parts, 1);
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::layoutStatusBar() {
    const int w = width() + 1;
    const int edges[5] = {w / 2, w / 2 + 170, w / 2 + 234, w / 2 + 354, w - (w / 2 + 354) - 16};
    int left = 0;
    for (size_t i = 0; i < statusParts_.size(); ++i) {
        const int right = std::max(edges[i], left);
        statusParts_[i]->setGeometry(left, 0, right - left,
                                     statusParts_[i]->parentWidget()->height());
        left = right;
    }
}

void MainWindow::updateMenuState() {
    refreshButton(CmdPaste, clipboardHasBitmap());
    for (const CommandRow& row : commandTable()) {
        QAction* a = action(row.id);
        if (!a) continue;
        if (row.checked) a->setChecked(row.checked(*this));
        if (row.enabled) a->setEnabled(row.enabled(*this));
        if (row.disabledWhy) {
            const char* why = a->isEnabled() ? nullptr : row.disabledWhy(*this);
            a->setToolTip(why ? QString(why) : a->text().section('\t', 0, 0).remove('&'));
            a->setStatusTip(why ? QString(why) : QString());
        }
    }
}

void MainWindow::timerTick() {
    grid_->pointerCheck();
    palette_->tooltipCheck();
    bool tooltip = false;
    for (const PaletteButton& b : palette_->buttons()) tooltip = tooltip || b.tooltipWindow;
    grid_->setTooltipOpen(tooltip);
    controllers_.texts.checkHint(QCursor::pos());
    if (++tickCounter_ >= 10) {
        tickCounter_ = 0;
        refreshButton(CmdPaste, clipboardHasBitmap());
    }
}

} // namespace dedur
