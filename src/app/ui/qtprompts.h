#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <memory>

#include "ui/prompts.h"

namespace dedur {

class QtPrompts : public Prompts {
  public:
    int showMessage(QWidget* owner, const Message& message) override;
    void beep() override;
    QString askOpenFileName(QWidget* owner, const QString& directory, const QString& filter,
                            const QString& title) override;
    QString askSaveFileName(QWidget* owner, const QString& directory, const QString& filter,
                            const QString& title, int* chosenType = nullptr) override;
    bool chooseColour(QWidget* owner, uint32_t& colour, std::array<uint32_t, 16>& custom) override;
    void setWaitCursor(bool on) override;
    void showProgress(QWidget* owner, const QString& label, uint64_t done, uint64_t total) override;
    void endProgress() override;
    void showAbout(QWidget* owner) override;
    bool chooseFont(QWidget* owner, QFont& font) override;
    bool askText(QWidget* owner, const QString& title, const QString& label,
                 QString& text) override;

  private:
    QElapsedTimer progressClock_;
    std::unique_ptr<QProgressDialog> progress_;
};

} // namespace dedur
