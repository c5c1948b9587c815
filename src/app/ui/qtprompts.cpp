#include "ui/qtprompts.h"

#include "ui/centeronscreen.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace dedur {

QString qtFilter(const QString& barFilter) {
    const QStringList parts = barFilter.split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // "Pattern Files (*.pat)" already names its pattern; Qt reads the
        // part in brackets.
        filters << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + parts[i + 1] + ")");
    }
    return filters.join(";;");
}

int QtPrompts::showMessage(QWidget* owner, const Message& m) {
    ScreenCentred<QMessageBox> box(owner);
    // A box without a caption of its own gets the system's "Error".
    box.setWindowTitle(m.caption.empty() ? QStringLiteral("Error")
                                         : QString::fromLocal8Bit(m.caption.c_str()));
    box.setText(QString::fromLocal8Bit(m.text.c_str()));
    box.setIcon(m.icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon);
    struct Button {
        const char* label;
        int answer;
    };
    // The underlined letter answers, with Alt or without (the box takes the
    // bare letter of a button's mnemonic itself).
    std::vector<Button> buttons;
    switch (m.buttons) {
    case MessageButtons::Ok:
        buttons = {{"OK", IDOK}};
        break;
    case MessageButtons::YesNo:
        buttons = {{"&Yes", IDYES}, {"&No", IDNO}};
        break;
    case MessageButtons::YesNoCancel:
        buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"&Cancel", IDCANCEL}};
        break;
    case MessageButtons::RetryCancel:
        buttons = {{"&Retry", IDRETRY}, {"&Cancel", IDCANCEL}};
        break;
    }
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (const Button& b : buttons) {
        const auto role = (b.answer == IDNO || b.answer == IDCANCEL) ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole;
        made.emplace_back(box.addButton(b.label, role), b.answer);
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    // Escape answers Cancel where there is one, OK in an OK box and No in a
    // Yes/No question (Qt's choice of its only refusing button).
    for (const auto& [button, answer] : made) {
        if (answer == IDCANCEL || m.buttons == MessageButtons::Ok) box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, answer] : made) {
        if (box.clickedButton() == button) return answer;
    }
    // Closed with the window's close box: the last (the refusing) answer.
    return made.back().second;
}

void QtPrompts::beep() {
    QApplication::beep();
}

QString QtPrompts::askOpenFileName(QWidget* owner, const QString& directory, const QString& filter,
                                   const QString& title) {
    return QFileDialog::getOpenFileName(owner, title, directory, qtFilter(filter));
}

QString QtPrompts::askSaveFileName(QWidget* owner, const QString& directory, const QString& filter,
                                   const QString& title, int* chosenType) {
    const QString filters = qtFilter(filter);
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(owner, title, directory, filters, &chosen);
    if (chosenType) *chosenType = std::max(0, int(filters.split(";;").indexOf(chosen)));
    return path;
}

bool QtPrompts::chooseColour(QWidget* owner, uint32_t& colour, std::array<uint32_t, 16>& custom) {
    for (int i = 0; i < 16; ++i) {
        const uint32_t c = custom[static_cast<size_t>(i)];
        QColorDialog::setCustomColor(i, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    const QColor initial(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, owner);
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColorDialog::customColor(i);
        custom[static_cast<size_t>(i)] =
            static_cast<uint32_t>(c.red() | c.green() << 8 | c.blue() << 16);
    }
    if (!chosen.isValid()) return false;
    colour = static_cast<uint32_t>(chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
    return true;
}

void QtPrompts::setWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtPrompts::showProgress(QWidget* owner, const QString& label, uint64_t done, uint64_t total) {
    if (!progressClock_.isValid()) progressClock_.start();
    // Work done within a moment shows no window.
    if (!progress_ && progressClock_.elapsed() < 200) return;
    if (!progress_) {
        progress_ = std::make_unique<QProgressDialog>(owner);
        progress_->setWindowTitle("dedur");
        progress_->setCancelButton(nullptr);
        progress_->setRange(0, 1000);
        progress_->setMinimumDuration(0);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->show();
    }
    constexpr double Megabyte = 1024.0 * 1024.0;
    progress_->setLabelText(QString("%1\n%2 of %3 MB")
                                .arg(label)
                                .arg(static_cast<double>(done) / Megabyte, 0, 'f', 1)
                                .arg(static_cast<double>(total) / Megabyte, 0, 'f', 1));
    progress_->setValue(total == 0 ? 0 : static_cast<int>(done * 1000 / total));
    // The windows behind stay painted; nothing the user types is taken.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompts::endProgress() {
    progress_.reset();
    progressClock_.invalidate();
}

void QtPrompts::showAbout(QWidget* owner) {
    ScreenCentred<QDialog> dialog(owner);
    dialog.setWindowTitle("About VOV odedode dizari");
    dialog.setFixedSize(456, 180); // 228 x 90 dialog units
    auto* version = new QLabel("Version 1.00", &dialog);
    version->move(40, 30);
    auto* line1 = new QLabel("Dot-matrix pattern editor for segment/common LCD panels", &dialog);
    line1->move(40, 60);
    auto* line2 = new QLabel("Free software built with Qt", &dialog);
    line2->move(40, 80);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setGeometry(128, 140, 120, 30);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.exec();
}

bool QtPrompts::chooseFont(QWidget* owner, QFont& font) {
    bool chosen = false;
    const QFont picked = QFontDialog::getFont(&chosen, font, owner);
    if (chosen) font = picked;
    return chosen;
}

bool QtPrompts::askText(QWidget* owner, const QString& title, const QString& label, QString& text) {
    bool ok = false;
    const QString typed = QInputDialog::getText(owner, title, label, QLineEdit::Normal, text, &ok);
    if (ok) text = typed;
    return ok;
}

} // namespace dedur
