#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "ui/prompts.h"

namespace dedur::test {

// Records every prompt and answers from queues; an empty queue answers OK,
// Yes or Cancel (to Retry/Cancel), no file, no colour, no font.
class FakePrompts : public Prompts {
  public:
    struct Shown {
        std::string caption;
        std::string text;
    };

    int showMessage(QWidget*, const Message& m) override {
        shown.push_back({m.caption, m.text});
        if (!answers.empty()) {
            const int a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (m.buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return IDYES;
        case MessageButtons::RetryCancel:
            return IDCANCEL;
        default:
            return IDOK;
        }
    }
    void beep() override { ++beeps; }
    QString askOpenFileName(QWidget*, const QString&, const QString& filter,
                            const QString& title) override {
        dialogs << "open:" + title + ":" + filter;
        return next();
    }
    QString askSaveFileName(QWidget*, const QString&, const QString& filter, const QString& title,
                            int* chosenType = nullptr) override {
        dialogs << "save:" + title + ":" + filter;
        int type = 0;
        if (!types.empty()) {
            type = types.front();
            types.pop_front();
        }
        if (chosenType) *chosenType = type;
        return next();
    }
    bool chooseColour(QWidget*, uint32_t&, std::array<uint32_t, 16>&) override { return false; }
    void setWaitCursor(bool) override {}
    void showProgress(QWidget*, const QString& label, uint64_t done, uint64_t total) override {
        progress.push_back(QString("%1 %2/%3").arg(label).arg(done).arg(total));
    }
    void endProgress() override { progress.push_back("end"); }
    void showAbout(QWidget*) override {}
    bool chooseFont(QWidget*, QFont& font) override {
        if (fonts.empty()) return false;
        font = fonts.front();
        fonts.pop_front();
        return true;
    }

    bool askText(QWidget*, const QString& title, const QString&, QString& text) override {
        dialogs << "text:" + title;
        if (typed.empty()) return false;
        text = typed.front();
        typed.pop_front();
        return true;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const Shown& s : shown) t.push_back(s.text);
        return t;
    }

    std::vector<Shown> shown;
    std::deque<int> answers;
    std::deque<QString> files;
    std::deque<int> types; // the file type chosen in each save dialog; empty: the first
    std::deque<QFont> fonts;
    std::deque<QString> typed; // answers to askText; empty: cancelled
    QStringList dialogs;
    QStringList progress; // "LABEL done/total" per report, "end" when closed
    int beeps = 0;

  private:
    QString next() {
        if (files.empty()) return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace dedur::test
