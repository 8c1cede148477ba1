#pragma once

// One table window for tests, on a folder of its own: its message boxes,
// questions, logon dialog and program end are recorded instead of shown, and
// its pauses return at once, so nothing ever blocks.

#include <QAction>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <deque>
#include <memory>

#include "app/mainwindow.h"
#include "display/tablewidget.h"

namespace vorn::testing {

// Lets the window show all it was told, answer its boxes and finish its
// searches; false when it is still busy after ms.
inline bool Settle(MainWindow& w, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!w.Settled() && clock.elapsed() < ms) QTest::qWait(1);
    return w.Settled();
}

// Ticks the cycle timer until the person may choose, at most limit times.
inline bool TickToPerson(MainWindow& w, int limit = 200) {
    for (int i = 0; i < limit; ++i) {
        if (!Settle(w)) return false;
        if (!w.labThrow()->isHidden() && w.table().CurrentSeat == w.session().LocalSeat) return true;
        w.engine().Tick();
    }
    return !w.labThrow()->isHidden() && w.table().CurrentSeat == w.session().LocalSeat;
}

class WindowFixture {
  public:
    WindowFixture() = default;
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    // The settings file the next Open reads, and what the window wrote there.
    void WriteSettings(const QByteArray& text) {
        QFile file(dir.filePath("Vorn.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray SettingsText() const {
        QFile file(dir.filePath("Vorn.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // (Re)creates the window on the fixture's folder, so a second call reads
    // what the first window saved. False when the window never got exposed.
    // Unless keepOptions, card moves are switched off through the menu, so
    // that the check mark and the option agree.
    bool Open(std::uint64_t seed = 1, bool show = true, bool keepOptions = false) {
        window.reset();
        window = std::make_unique<MainWindow>(dir.path(), seed);
        MainWindow& w = *window;
        w.prompter.info = [this](QWidget*, const QString& text, Prompter::Icon) { infos << text; };
        w.prompter.yesNo = [this](QWidget*, const QString& text) { return Answer(text); };
        w.prompter.yesNoDefaultYes = w.prompter.yesNo;
        w.showLogon = [this] { ++logons; };
        w.endProgram = [this] { ++exits; };
        w.waitScale = 0;
        if (!keepOptions && w.options().animation) w.Action("mnuAnimal")->trigger();
        if (!show) return true;
        w.show();
        return QTest::qWaitForWindowExposed(&w);
    }

    MainWindow& operator*() { return *window; }
    MainWindow* operator->() { return window.get(); }

    // Deals and lets the computer seats move until it is the person's turn.
    bool DealToPersonsTurn() {
        window->mnuDeal_Click();
        return TickToPerson(*window);
    }
    // A key pressed on the table.
    void Key(int key) { QTest::keyClick(&window->tableWidget(), Qt::Key(key)); }
    // No box of any kind was shown.
    bool Quiet() const { return infos.isEmpty() && questions.isEmpty(); }

    QTemporaryDir dir;
    QStringList infos;
    QStringList questions;
    // The answers to the Yes/No questions: these in order, then answer.
    std::deque<bool> answers;
    bool answer = false;
    int logons = 0;
    int exits = 0;
    // Last, so that the window, whose callbacks write the records above, goes first.
    std::unique_ptr<MainWindow> window;

  private:
    bool Answer(const QString& text) {
        questions << text;
        if (answers.empty()) return answer;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};

}  // namespace vorn::testing
