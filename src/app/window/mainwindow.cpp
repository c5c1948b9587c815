#include "window/mainwindow.h"

#include "dotplace.h"
#include "panel/panelview.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "base/safewrite.h"
#include "document/patternfile.h"
#include "panel/lcdimage.h"
#include "settings/settingsfile.h"
#include "textclip/logfont.h"

#include "editorsettings.h"
#include "grid/gridwidget.h"
#include "textclip/inputtextdialog.h"
#include "ui/artwork.h"
#include "ui/centeronscreen.h"
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
    layout->addWidget(gridArea_, 1);
    setCentralWidget(central);

    auto* parts = new QWidget(statusBar());
    for (size_t i = 0; i < statusParts_.size(); ++i) {
        statusParts_[i] = new QLabel(parts);
        statusParts_[i]->setObjectName(QString("statusPart%1").arg(i));
        statusParts_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusBar()->addWidget(parts, 1);
    statusBar()->setSizeGripEnabled(false);

    buildMenu();
    new AcceleratorFilter(*this);
    connect(palette_, &PaletteStrip::commandPosted, this, &MainWindow::dispatchCommand,
            Qt::QueuedConnection);
    connect(palette_, &PaletteStrip::beep, this, [this] { prompts_.beep(); });
    connect(palette_, &PaletteStrip::navigate, this, &MainWindow::navigate);
    connect(palette_, &PaletteStrip::numberBoxNotified, this,
            [this](int code) { patterns_.numberBoxNotified(code); });
    connect(grid_, &GridWidget::statusText, this, &MainWindow::setStatusText);
    connect(grid_, &GridWidget::modified, this, &MainWindow::refreshHistoryButtons);
    connect(grid_, &GridWidget::modified, this, [this] { panel_.refreshPanelView(false); });
    // The second part of the status bar, which the classic layout leaves
    // empty, tells where the dot under the pointer lands in display memory.
    connect(grid_, &GridWidget::dotUnderPointer, this, [this](int x, int y) {
        statusParts_[1]->setText(x < 0 ? QString()
                                       : QString::fromStdString(dotPlaceText(editor_, x, y)));
    });
    connect(grid_, &GridWidget::zoomRequested, this,
            [this](int direction) { gridCommands_.zoom(direction); });
    connect(grid_, &GridWidget::imageDropped, this,
            [this](const QString& path) { images_.importImageFile(path); });
    connect(grid_, &GridWidget::shiftRequested, this, [this](int dx, int dy) {
        transforms_.apply({TransformKind::Shift, dx, dy});
    });
    connect(grid_, &GridWidget::characterTyped, this,
            [this](const QString& text) { fonts_.typedText(text); });
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
    for (const char* title : menuTitles()) {
        QMenu* menu = menuBar()->addMenu(title);
        if (std::string_view(title) == "&Edit") editMenu_ = menu;
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateMenuState);
        QMenu* submenu = nullptr;
        for (const CommandRow& row : commandTable()) {
            if (!row.popup || std::string_view(row.popup) != title) continue;
            if (row.separatorBefore) menu->addSeparator();
            if (row.submenu && !submenu) submenu = menu->addMenu(row.submenu);
            QAction* a = (row.submenu ? submenu : menu)->addAction(row.text);
            a->setData(row.id);
            a->setCheckable(row.checked != nullptr);
            connect(a, &QAction::triggered, this, [this, id = row.id] { dispatchCommand(id); });
            actions_[row.id] = a;
            if (row.separatorAfter) menu->addSeparator();
        }
    }
}

WindowRect MainWindow::defaultWindowRect(int gridX, int gridY, QSize screen, int menuHeight,
                                         int captionHeight) {
    int width = 96 * gridX + 396;
    int height = 96 * gridY + 57 + menuHeight + captionHeight + 260;
    if (width > screen.width()) width = screen.width() - 12;
    if (height > screen.height()) height = screen.height() - 12;
    const int x = (screen.width() - width) / 4;
    const int y = (screen.height() - height) / 2;
    return {x, y, x + width, y + height};
}

WindowRect MainWindow::windowRect(WindowRect saved, int gridX, int gridY, QSize screen,
                                  int menuHeight, int captionHeight) {
    // Onto the screen: a hand-edited place may hold any two ints, and a frame
    // whose corner is off the screen cannot be moved back.
    saved.left = std::clamp(saved.left, 0, screen.width());
    saved.top = std::clamp(saved.top, 0, screen.height());
    saved.right = std::min(saved.right, screen.width());
    saved.bottom = std::min(saved.bottom, screen.height());
    if (saved.left != saved.right) {
        const WindowRect r{saved.left, saved.top, saved.right + 1, saved.bottom + 1};
        // A rectangle from a larger screen (or a hand-edited file) may leave
        // nothing to see; then the window takes its default place.
        const int usable = 100;
        if (r.right - r.left >= usable && r.bottom - r.top >= usable && r.right >= usable &&
            r.bottom >= usable) {
            return r;
        }
    }
    return defaultWindowRect(gridX, gridY, screen, menuHeight, captionHeight);
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
    if (size() != inside) resize(inside.expandedTo(QSize(100, 100)));
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
    texts_.loadFonts();
    try {
        fonts_.enterEditMode();
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
    }
    refreshButton(CmdPaste, clipboardHasBitmap());
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
    bool enable;
    switch (command) {
    case CmdUndo:
        enable = editor_.history.undoCount() > 0;
        break;
    case CmdRedo:
        enable = editor_.history.redoCount() > 0;
        break;
    case CmdPaste:
        enable = clipboardBitmap;
        break;
    case CmdDeletePattern:
        enable = doc.patternCount > 1;
        if (doc.editType != EditMode::Pattern) return;
        break;
    default:
        return;
    }
    palette_->setButtonEnabled(command, enable);
}

void MainWindow::refreshHistoryButtons() {
    refreshButton(CmdUndo);
    refreshButton(CmdRedo);
}

void MainWindow::showNavigation(int number) {
    palette_->showNavigation(number, editor_.document.patternCount);
}

bool MainWindow::clipboardHasBitmap() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void MainWindow::repaintGrid(bool erase) {
    grid_->repaintAll(erase);
}
GridGeometry MainWindow::gridGeometry() {
    return grid_->geometry();
}
void MainWindow::toggleMarquee() {
    grid_->painter().drawMarquee();
}
void MainWindow::buildNavigation(bool withNumberBox) {
    palette_->layoutButtons(4, palette_->createNavigationStrip(withNumberBox));
}
NumberField* MainWindow::numberBox() {
    return palette_->numberBox();
}
QScrollBar* MainWindow::navigationBar() {
    return palette_->scrollBar();
}
QLabel* MainWindow::countLabel() {
    return palette_->countLabel();
}
void MainWindow::setButtonEnabled(int command, bool enabled) {
    palette_->setButtonEnabled(command, enabled);
}
void MainWindow::reshowTooltip() {
    palette_->reshowTooltip();
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

void MainWindow::runCommand(int id) {
    const Tool toolBefore = editor_.grid.tool;
    const CommandRow* row = findCommand(id);
    if (row && row->run) row->run(*this, id);
    // Leaving the select tool drops a floating block.
    if (toolBefore == Tool::Select && editor_.grid.tool != Tool::Select) commitSelection();
    refreshHistoryButtons();
    panel_.refreshPanelView(true);
}

void MainWindow::toggleStatusBar() {
    statusBarShown_ = !statusBarShown_;
    statusBar()->setVisible(statusBarShown_);
}

void MainWindow::navigate(int action) {
    QScrollBar* bar = palette_->scrollBar();
    const Document& doc = editor_.document;
    const int max =
        doc.editType == EditMode::Pattern ? doc.patternCount : glyphKind(doc.editType).count;
    int number = editor_.currentNumber;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        number -= 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        number += 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        number -= 5;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        number += 5;
        break;
    case QAbstractSlider::SliderMove:
        number = bar->sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        number = 1;
        break;
    case QAbstractSlider::SliderToMaximum:
        number = max;
        break;
    default:
        break;
    }
    number = std::clamp(number, 1, std::max(max, 1));
    // The bar moves only as far as the navigation says.
    bar->setSliderPosition(number == editor_.currentNumber ? editor_.currentNumber : number);
    if (number == editor_.currentNumber) return;
    if (doc.editType == EditMode::Pattern) {
        editor_.currentNumber = number;
        commitSelection();
        if (palette_->numberBox()) palette_->numberBox()->setText(QString::number(number));
        editor_.document.currentPattern = number - 1;
        reloadWorkDots(editor_.document);
    } else {
        fonts_.goToGlyph(number);
    }
    editor_.selection.selectionState = SelectionState::None;
    grid_->repaintAll(true);
    bar->setSliderPosition(number);
    setFocus();
    panel_.refreshPanelView(true);
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
    if (files_.querySave() == -1) return;
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
    if (!event->text().isEmpty()) fonts_.typedText(event->text());
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
    }
}

void MainWindow::timerTick() {
    grid_->pointerCheck();
    palette_->tooltipCheck();
    bool tooltip = false;
    for (const PaletteButton& b : palette_->buttons()) tooltip = tooltip || b.tooltipWindow;
    grid_->setTooltipOpen(tooltip);
    texts_.checkHint(QCursor::pos());
    if (++tickCounter_ >= 10) {
        tickCounter_ = 0;
        refreshButton(CmdPaste, clipboardHasBitmap());
    }
}

} // namespace dedur
