// The table window as the person meets it: the deal, clicks, whole games,
// the status panels, reset, and commands that arrive while the table is busy.

#include <QTcpServer>
#include <QTcpSocket>

#include <cstdlib>

#include "app/logondialog.h"
#include "app/networkgame.h"
#include "net/socket/socket.h"
#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

const QStringList kDefaultNames = {"朱雀", "青龙", "玄武", "白虎"};

// How the status line names a card number 1..13.
const char* const kRankText[14] = {"",   " 3",  " 4", " 5", " 6", " 7", " 8",
                                   " 9", " 10", " J", " Q", " K", " A", " 2"};

QStringList ScoreCaptions(MainWindow& w) {
    QStringList captions;
    for (int i = 0; i < 4; ++i) captions << w.lblScore(i)->text() << w.lblWin(i)->text();
    return captions;
}

enum Command { ResetLocal, ResetHost, LostLinkThenClose, DealDuringPlay, DealAfterYes };

// A port nobody listens on right now.
int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The logon dialog as the person fills it in and presses OK.
void LogOn(MainWindow& w, bool net, int port = 0) {
    LogonDialog dialog(w);
    (net ? dialog.optNet : dialog.optLocal)->setChecked(true);
    dialog.optHost->setChecked(true);
    dialog.txtPort->setText(QString::number(port));
    dialog.cmdOK->click();
}

QString Conservation(MainWindow& w, int chosenSeat = -1) {
    return Q(CheckConservation(w.table(), chosenSeat));
}

// What the table shows that a person could not tell from it: a seat's count
// that is not its number of cards, a card of the play to beat not face up.
QString Misshown(MainWindow& w) {
    QString wrong;
    std::array<int, 4> held{};
    for (Card card : AllCards()) {
        const int at = w.table().Location(card);
        if (at >= 0 && at < 4) ++held[size_t(at)];
    }
    for (int seat = 0; seat < 4; ++seat)
        if (w.seatCues().Count(seat)->text() != QString::number(held[size_t(seat)]))
            wrong += QString("count %1: %2;").arg(seat).arg(w.seatCues().Count(seat)->text());
    for (const Card card : w.table().TablePlay)
        if (!w.tableWidget().CardAt(card).face) wrong += Q(CardCode(card)) + " face down;";
    return wrong;
}

class TestTableWindow : public QObject {
    Q_OBJECT

  private slots:
    void startState() {
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        QCOMPARE(w.windowTitle(), QString("Vorn"));
        QCOMPARE(w.objectName(), QString("frmMain"));
        QCOMPARE(w.ProgressPanel()->text(), QString("进程：单机游戏"));
        // Nothing dealt yet: the hint line says how to deal.
        QCOMPARE(w.HintPanel()->text(), QString("牌局：点击牌堆或按 F5 发牌"));
        QCOMPARE(ScoreCaptions(w), QStringList(8, "0"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.lblScorer(i)->text(), kDefaultNames[i] + " 失分");
            QCOMPARE(w.lblWinner(i)->text(), QString("赢局"));
        }
        QCOMPARE(w.lstConnections()->count(), 0);
        QCOMPARE(w.txtDialog()->toPlainText(), QString());
        QCOMPARE(w.CardsLeft()->text(), QString("52"));
        QVERIFY(w.labThrow()->isHidden());
        QVERIFY(w.Action("mnuDeal")->isEnabled());
        QVERIFY(!w.Action("mnuHint")->isEnabled());
        // Every card waits face down on the stock.
        for (Card card : AllCards()) {
            const CardImage& image = w.pictures().Image(card);
            QCOMPARE(w.table().Location(card), kStockLocation);
            QCOMPARE(QPoint(image.x, image.y), QPoint(300, 300));
            QVERIFY(!image.face);
        }
        QVERIFY(f.Quiet());
        QCOMPARE(f.logons, 0);
    }

    // The window opens inside the screen's free area, at its last place when it
    // has one, kept on the screen and no larger than it; an exit saves the place.
    void windowPlace_data() {
        QTest::addColumn<QByteArray>("saved");  // empty: a new settings file
        QTest::addColumn<QRect>("expected");    // null: anywhere that fits
        QTest::newRow("first start") << QByteArray() << QRect();
        QTest::newRow("saved inside") << QByteArray("40,30,500,360") << QRect(40, 30, 500, 360);
        QTest::newRow("saved off the screen") << QByteArray("5000,-900,500,360") << QRect();
        QTest::newRow("saved larger than the screen") << QByteArray("0,0,5000,4000") << QRect();
    }
    void windowPlace() {
        QFETCH(QByteArray, saved);
        QFETCH(QRect, expected);
        WindowFixture f;
        if (!saved.isEmpty()) f.WriteSettings("[Set]\r\nWindow=" + saved + "\r\n");
        QVERIFY(f.Open());
        MainWindow& w = *f;
        const QRect area = w.screen()->availableGeometry();
        const QRect place(w.pos(), w.size());
        QCOMPARE(area.intersected(place), place);  // inside the area
        if (!expected.isNull()) QCOMPARE(place, expected);
        w.move(area.topLeft() + QPoint(7, 9));
        w.resize(480, 360);
        w.Action("mnuExit")->trigger();
        QVERIFY(f.Open());
        QCOMPARE(QRect(f->pos(), f->size()), QRect(area.topLeft() + QPoint(7, 9), QSize(480, 360)));
    }

    void dealFromMenu_data() {
        QTest::addColumn<quint64>("seed");
        QTest::newRow("seed 1") << quint64(1);
        QTest::newRow("seed 77") << quint64(77);
        QTest::newRow("seed 123456789") << quint64(123456789);
    }
    void dealFromMenu() {
        QFETCH(quint64, seed);
        WindowFixture f;
        QVERIFY(f.Open(seed));
        MainWindow& w = *f;
        w.Action("mnuDeal")->trigger();

        QCOMPARE(w.CardsLeft()->text(), QString("27"));
        QVERIFY(!w.Action("mnuDeal")->isEnabled());
        const int expected[4] = {7, 6, 6, 6};
        // Horizontal hands step 200 twips to the right from SeatX - n/2 x 200,
        // vertical ones 240 down from SeatY - n/2 x 120.
        const int first[4] = {7200 - 700, 3000 - 360, 7200 - 600, 3000 - 360};
        for (int seat = 0; seat < 4; ++seat) {
            const std::vector<Card> hand = HandCards(w, seat);
            QCOMPARE(int(hand.size()), expected[seat]);
            QCOMPARE(w.table().HandSize(seat), expected[seat]);
            for (size_t k = 0; k < hand.size(); ++k) {
                const CardImage& image = w.pictures().Image(hand[k]);
                QCOMPARE(image.face, seat == 0);
                QCOMPARE(seat % 2 ? image.y : image.x, first[seat] + int(k) * (seat % 2 ? 240 : 200));
            }
        }
        QCOMPARE(Conservation(w), QString());
        // The person's hand reads from the 3 up to the 2, left to right.
        const std::vector<Card> mine = HandCards(w, 0);
        for (size_t k = 1; k < mine.size(); ++k) QVERIFY(mine[k - 1].Number() <= mine[k].Number());
        QVERIFY(f.infos.isEmpty());
    }

    void clickRaisesAndLowers() {
        WindowFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.DealToPersonsTurn());
        MainWindow& w = *f;
        QCOMPARE(w.labThrow()->text(), QString("PASS"));
        QVERIFY(w.Action("mnuHint")->isEnabled());

        const std::vector<Card> hand = HandCards(w, 0);
        const Card card = hand[2];
        const int y = w.pictures().Image(card).y;
        PressCard(w, card);
        QCOMPARE(w.pictures().Image(card).y, y - 300);
        QVERIFY(w.pictures().Image(card).raised);
        QVERIFY(w.table().lstSelected.Contains(card));
        QVERIFY(!w.table().lstDirection[0].Contains(card));
        QCOMPARE(w.labThrow()->text(), QString("OK"));
        QCOMPARE(Conservation(w, 0), QString());

        // A second chosen card keeps OK; lowering one of two keeps OK too.
        PressCard(w, hand[4]);
        QCOMPARE(w.table().lstSelected.Count(), 2);
        PressCard(w, hand[4]);
        QCOMPARE(w.labThrow()->text(), QString("OK"));

        PressCard(w, card);
        QCOMPARE(w.pictures().Image(card).y, y);
        QVERIFY(!w.pictures().Image(card).raised);
        QVERIFY(w.table().lstSelected.Empty());
        QVERIFY(w.table().lstDirection[0].Contains(card));
        QCOMPARE(w.table().HandSize(0), 7);
        QCOMPARE(w.labThrow()->text(), QString("PASS"));
        QVERIFY(f.infos.isEmpty());
    }

    // Presses that must leave the table exactly as it was.
    void clicksThatChangeNothing_data() {
        QTest::addColumn<bool>("personsTurn");
        QTest::addColumn<int>("seat");  // whose card: 0..3, -1 the stock
        QTest::addColumn<bool>("rightButton");
        QTest::newRow("east's card on the person's turn") << true << 1 << false;
        QTest::newRow("north's card on the person's turn") << true << 2 << false;
        QTest::newRow("west's card on the person's turn") << true << 3 << false;
        QTest::newRow("a stock card on the person's turn") << true << -1 << false;
        QTest::newRow("own card before the turn comes") << false << 0 << false;
        QTest::newRow("own card with the right button") << true << 0 << true;
    }
    void clicksThatChangeNothing() {
        QFETCH(bool, personsTurn);
        QFETCH(int, seat);
        QFETCH(bool, rightButton);
        WindowFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.DealToPersonsTurn());
        MainWindow& w = *f;
        if (!personsTurn) {
            // The person leads a single; East is to move.
            PressCard(w, HandCards(w, 0).front());
            PressThrow(w);
            QCOMPARE(w.table().CurrentSeat, 1);
        }
        Card card;
        if (seat >= 0) {
            card = HandCards(w, seat).front();
        } else {
            const QPoint onStock = w.tableWidget().ToPixels(QRect(400, 400, 1, 1)).topLeft();
            QVERIFY(w.tableWidget().CardAtPixel(onStock, card));
            QCOMPARE(w.table().Location(card), kStockLocation);
        }
        QVERIFY(VisiblePoint(w, card).x() >= 0);
        const QString before = Picture(w);
        PressCard(w, card, rightButton ? Qt::RightButton : Qt::LeftButton);
        QCOMPARE(Picture(w), before);
        QVERIFY(f.infos.isEmpty());
    }

    void throwPlaysChosenCard() {
        WindowFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.DealToPersonsTurn());
        MainWindow& w = *f;
        const Card card = HandCards(w, 0).front();
        PressCard(w, card);
        PressThrow(w);
        w.tmrCYC().stop();

        QVERIFY(f.infos.isEmpty());
        QCOMPARE(Q(Codes(w.table().TablePlay)), Q(CardCode(card)));
        QCOMPARE(QString(PlayTypeName(w.table().PlayType)), QString("Single"));
        QCOMPARE(w.HintPanel()->text(), QString("牌局：朱雀出牌") + kRankText[card.Number()]);
        QVERIFY(!w.seatCues().PlayedBy()->isHidden());
        QCOMPARE(w.seatCues().PlayedBy()->text(), QString("朱雀"));
        QVERIFY(w.labThrow()->isHidden());
        QCOMPARE(w.table().CurrentSeat, 1);
        QCOMPARE(w.table().HandSize(0), 6);
        QCOMPARE(w.table().Location(card), kPlayedLocation);
        const CardImage& image = w.pictures().Image(card);
        QCOMPARE(QPoint(image.x, image.y), QPoint(7200, 3300));
        QVERIFY(!image.face);
        QCOMPARE(Conservation(w), QString());
        // The person's hand closes up around the gap: 6 cards from 7200 - 600.
        const std::vector<Card> hand = HandCards(w, 0);
        for (size_t k = 0; k < hand.size(); ++k) QCOMPARE(w.pictures().Image(hand[k]).x, 6600 + int(k) * 200);
        QVERIFY(!w.Action("mnuHint")->isEnabled());
    }

    // A refused choice is told in a note by the play button that needs no
    // click, or in a box when 提示框 is checked; leading, the button waits for
    // raised cards instead of offering a pass that would be refused.
    void refusedChoices_data() {
        QTest::addColumn<bool>("choose");  // the lowest and the highest card of the hand, or nothing
        QTest::addColumn<bool>("boxes");
        QTest::addColumn<QString>("message");  // empty: the button cannot be pressed
        QTest::newRow("two cards of different numbers") << true << false << QString("所选牌不符合牌型规则！");
        QTest::newRow("the same, with boxes") << true << true << QString("所选牌不符合牌型规则！");
        QTest::newRow("nothing raised while leading") << false << true << QString();
    }
    void refusedChoices() {
        QFETCH(bool, choose);
        QFETCH(bool, boxes);
        QFETCH(QString, message);
        WindowFixture f;
        QVERIFY(f.Open());
        f->options().refusalBoxes = boxes;
        QVERIFY(f.DealToPersonsTurn());
        MainWindow& w = *f;
        const std::vector<Card> hand = HandCards(w, 0);
        QVERIFY(hand.front().Number() != hand.back().Number());
        if (choose) {
            PressCard(w, hand.front());
            PressCard(w, hand.back());
        }
        QVERIFY(Settle(w));
        QCOMPARE(w.labThrow()->isEnabled(), !message.isEmpty());
        const QString before = Picture(w);
        PressThrow(w);
        QCOMPARE(f.infos, boxes && !message.isEmpty() ? QStringList{message} : QStringList{});
        QLabel* note = w.seatCues().Note();
        QCOMPARE(!note->isHidden() && note->text() == message, !boxes && !message.isEmpty());
        // Still the person's turn, with the same cards raised.
        QCOMPARE(Picture(w), before);
        QVERIFY(!w.labThrow()->isHidden());
        QCOMPARE(w.labThrow()->text(), QString(choose ? "OK" : "PASS"));
        QCOMPARE(w.table().CurrentSeat, 0);
        QVERIFY(!w.tmrCYC().isActive());
    }

    // A whole game driven as the person would: the hint chooses, the play
    // button plays or passes, the cycle timer moves the computer seats.
    void wholeGame_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<bool>("nextGame");
        QTest::newRow("seed 3, no next game") << quint64(3) << false;
        QTest::newRow("seed 2024, no next game") << quint64(2024) << false;
        QTest::newRow("seed 99, next game dealt") << quint64(99) << true;
    }
    void wholeGame() {
        QFETCH(quint64, seed);
        QFETCH(bool, nextGame);
        WindowFixture f;
        QVERIFY(f.Open(seed));
        f.answer = nextGame;
        MainWindow& w = *f;
        // The hands as they stand when a seat is about to move; the last such
        // record is what the losers keep when the game ends.
        std::array<int, 4> kept{};
        auto record = [&w, &kept] {
            for (int i = 0; i < 4; ++i) kept[i] = w.table().HandSize(i);
        };
        w.engine().beforeDecision = [&record](int, bool) { record(); };
        // While the question is asked: what it says beneath, and whether any
        // card outside the two piles still shows its back.
        QString detail;
        int hiddenInHands = -1;
        bool stockAsCounted = false;
        w.prompter.yesNoDefaultYes = [&](QWidget*, const QString& text) {
            f.questions << text;
            detail = *w.prompter.detail;
            stockAsCounted = w.tableWidget().StockEmpty() == (w.CardsLeft()->text() == "0");
            hiddenInHands = 0;
            for (Card card : AllCards()) {
                const CardImage& i = w.tableWidget().CardAt(card);
                const bool pile = (i.x == 300 && i.y == 300) || (i.x == 7200 && i.y == 3300);
                if (!i.face && !pile) ++hiddenInHands;
            }
            return f.answer;
        };
        w.Action("mnuDeal")->trigger();

        int personMoves = 0;
        for (int step = 0; step < 3000 && f.questions.isEmpty(); ++step) {
            QVERIFY(Settle(w));
            if (!f.questions.isEmpty()) break;
            QCOMPARE(Conservation(w), QString());
            QCOMPARE(Misshown(w), QString());
            // No card back stands for an empty stock.
            QCOMPARE(w.tableWidget().StockEmpty(), w.CardsLeft()->text() == "0");
            // The play to beat is named on the table, and only while it lies there.
            const QLabel* by = w.seatCues().PlayedBy();
            QCOMPARE(by->isHidden(), w.table().TablePlay.Empty());
            if (!by->isHidden()) QCOMPARE(by->text(), Q(w.session().PlayerNames[w.table().TheLastThrower]));
            if (w.labThrow()->isHidden() || w.table().CurrentSeat != 0) {
                w.engine().Tick();
                continue;
            }
            record();
            // The person's view kept by the server is the table shown, with the
            // game's moves besides, so the hint's search can read them.
            const Observation* kept = w.engine().server()->Seen(0);
            QVERIFY(kept);
            Observation same = kept->Snapshot();
            same.lost = {};
            QVERIFY(same == Observe(w.table(), 0));
            QVERIFY(!kept->history.empty());
            const QString status = w.HintPanel()->text();
            w.Action("mnuHint")->trigger();
            QVERIFY(Settle(w));
            // The hint's answer is a note by the play button, with the odds of
            // what it offers; the status line keeps the play to beat.
            const QLabel* noteLabel = w.seatCues().Note();
            const QString note = noteLabel->text();
            QVERIFY(!noteLabel->isHidden());
            // However long, all of it shows.
            QVERIFY2(noteLabel->heightForWidth(noteLabel->width()) <= noteLabel->height(), qPrintable(note));
            QCOMPARE(w.HintPanel()->text(), status);
            const bool passing = w.table().lstSelected.Empty();
            if (passing) {
                QVERIFY2(note == "没有牌管得起" || note.startsWith("不出最好，胜率 "), qPrintable(note));
                QVERIFY(!w.table().MustLead);
            } else {
                QVERIFY2(note.startsWith("胜率 "), qPrintable(note));
            }
            PressThrow(w);
            QVERIFY2(f.infos.isEmpty(), qPrintable(f.infos.join('|')));
            // The move made, the note has had its say.
            QVERIFY(Settle(w));
            QVERIFY(w.seatCues().Note()->isHidden());
            // A third pass opens a new round, which clears the marks.
            if (passing && f.questions.isEmpty() && w.table().PassCount > 0)
                QVERIFY(!w.seatCues().PassMark(0)->isHidden());
            ++personMoves;
        }
        QCOMPARE(f.questions.size(), 1);
        QVERIFY(personMoves > 0);
        const int winner = w.table().TheLastThrower;
        QVERIFY(winner >= 0 && winner < 4);
        const QString name = Q(w.session().PlayerNames[winner]);
        QCOMPARE(f.questions.front(), name + " 赢得本局，并赢得下局的先出牌权！开始下一局吗？");
        QCOMPARE(hiddenInHands, 0);
        QVERIFY(stockAsCounted);
        QStringList lines;
        for (int i = 0; i < 4; ++i) {
            const QString n = QString::number(i == winner ? 0 : kept[i]);
            lines << kDefaultNames[i] + "：剩 " + n + " 张，本局失 " + n + " 分";
        }
        QCOMPARE(detail, lines.join('\n'));
        QVERIFY(w.prompter.detail->isEmpty());
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.lblScore(i)->text(), QString::number(i == winner ? 0 : kept[i]));
            QCOMPARE(w.lblWin(i)->text(), QString(i == winner ? "1" : "0"));
        }
        // The play button shows again only for the person leading the next deal.
        QCOMPARE(w.labThrow()->isHidden(), !(nextGame && winner == 0));
        if (nextGame) {
            // The winner leads the next deal.
            QCOMPARE(w.CardsLeft()->text(), QString("27"));
            QCOMPARE(w.table().HandSize(winner), 7);
            QCOMPARE(w.table().CurrentSeat, winner);
            QVERIFY(!w.Action("mnuDeal")->isEnabled());
            // The cycle timer runs for a computer seat; the person's lead waits for the button.
            QCOMPARE(w.tmrCYC().isActive(), winner != 0);
        } else {
            // After No the finished hand stays open with its result on the
            // table, though every card of the game is back in the stock.
            QVERIFY(w.tableWidget().Revealing());
            QCOMPARE(w.seatCues().Result()->text(), detail);
            QVERIFY(!w.seatCues().Result()->isHidden());
            QVERIFY(w.Action("mnuDeal")->isEnabled());
            QVERIFY(!w.tmrCYC().isActive());
            QCOMPARE(w.HintPanel()->text(), "牌局：本局由" + name + "先出牌");
            // The next deal puts the table as the game has it.
            w.Action("mnuDeal")->trigger();
            QVERIFY(Settle(w));
            QVERIFY(!w.tableWidget().Revealing());
            QVERIFY(w.seatCues().Result()->isHidden());
            for (Card card : AllCards()) {
                const CardImage& shown = w.tableWidget().CardAt(card);
                const CardImage& model = w.pictures().Image(card);
                QVERIFY(shown.x == model.x && shown.y == model.y && shown.face == model.face);
            }
        }
        w.tmrCYC().stop();
    }

    // The result of a hand, on the table, counts in the table's language,
    // and so does the caption of the last play: also once the language is
    // switched with them on show.
    void handResult_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("playedBy");
        const QString chinese =
            "朱雀：剩 0 张，本局失 0 分\n青龙：剩 1 张，本局失 1 分\n"
            "玄武：剩 2 张，本局失 2 分\n白虎：剩 3 张，本局失 3 分";
        const QString english =
            "Summer: 0 cards left, 0 points lost\nSpring: 1 card left, 1 point lost\n"
            "Winter: 2 cards left, 2 points lost\nAutumn: 3 cards left, 3 points lost";
        QTest::newRow("中文") << QByteArray() << false << chinese << "青龙";
        QTest::newRow("English") << kEnglish << false << english << "Spring";
        QTest::newRow("switched to English") << QByteArray() << true << english << "Spring";
        QTest::newRow("switched to 中文") << kEnglish << true << chinese << "青龙";
    }
    void handResult() {
        QFETCH(QByteArray, settings);
        QFETCH(bool, switched);
        QFETCH(QString, result);
        QFETCH(QString, playedBy);
        WindowFixture f;
        f.WriteSettings(settings);
        QVERIFY(f.Open());
        MainWindow& w = *f;
        w.PlayLaid(1, {Card{0, 6}});
        w.HandEnded(0, {{{}, {Card{0, 3}}, {Card{0, 4}, Card{1, 4}}, {Card{0, 5}, Card{1, 5}, Card{2, 5}}}});
        QVERIFY(Settle(w));
        if (switched) w.Action("mnuLanguage")->trigger();
        QCOMPARE(w.seatCues().Result()->text(), result);
        QVERIFY(!w.seatCues().Result()->isHidden());
        QCOMPARE(w.seatCues().PlayedBy()->text(), playedBy);
    }

    // The progress panel keeps 3600 twips; the hint panel fills the rest. At
    // every width the table stands in the middle, every seat's name and count
    // inside the window.
    void statusPanels_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("smallest") << TableWidget::kSceneWidth / 38 << 700;
        QTest::newRow("narrow") << 560 << 700;
        QTest::newRow("natural") << 1044 << 700;
        QTest::newRow("wide") << 1500 << 700;
        QTest::newRow("a full screen") << 1900 << 1040;
    }
    void statusPanels() {
        QFETCH(int, width);
        QFETCH(int, height);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        w.ShowHintText(QString(400, QChar(0x724C)));  // a hint far wider than any window
        w.resize(width, height);
        QTRY_COMPARE(w.width(), width);
        QCOMPARE(w.ProgressPanel()->width(), 3600 / 15);
        const int hintRight = w.HintPanel()->geometry().right();
        QVERIFY2(w.ProgressPanel()->geometry().left() - hintRight < 24,
                 qPrintable(QString::number(hintRight)));
        QVERIFY(w.HintPanel()->geometry().left() < 12);
        const TableWidget& table = w.tableWidget();
        QVERIFY(std::abs(table.ToPixels(TableWidget::kDesk).center().x() - table.width() / 2) <= 2);
        w.Action("mnuDeal")->trigger();
        QVERIFY(Settle(w));
        for (int seat = 0; seat < 4; ++seat)
            for (const QLabel* label : {w.lblName(seat), w.seatCues().Count(seat)})
                QVERIFY2(table.rect().contains(label->geometry()), qPrintable(label->objectName()));
        // A longer progress text widens its panel where half the window has room for it.
        const QString longer = "Status: The link to the host dropped; reconnecting...";
        w.SetProgressPanel(longer.toStdString());
        QVERIFY(Settle(w));
        const int needed = w.ProgressPanel()->fontMetrics().horizontalAdvance(longer);
        QCOMPARE(w.ProgressPanel()->width() >= needed, needed <= width / 2);
        QVERIFY(w.ProgressPanel()->width() <= std::max(3600 / 15, width / 2));
    }

    // The person's commands wait for the running action and then run whole and
    // in order; what that action queued before them never discards them.
    void commandDuringAction_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("reset, then logon OK with a local game") << int(ResetLocal);
        QTest::newRow("reset, then logon OK as host") << int(ResetHost);
        QTest::newRow("lost host link, then the window closes") << int(LostLinkThenClose);
        QTest::newRow("deal chosen twice during a computer seat's play") << int(DealDuringPlay);
        QTest::newRow("deal chosen while the next game is being dealt") << int(DealAfterYes);
    }
    void commandDuringAction() {
        QFETCH(int, command);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        DealAfterFinishedGame(w);
        const int port = FreePort();
        w.showLogon = [&] {
            ++f.logons;
            LogOn(w, command == ResetHost, port);
        };

        bool during = false;
        QString stockDuring;
        if (command == DealDuringPlay || command == DealAfterYes) {
            // The game's last play: the question about the next game opens
            // once that play is shown, outside any action, and the person
            // chooses Deal twice while it is open. One deal, whatever the answer.
            f.answer = command == DealAfterYes;
            w.prompter.yesNoDefaultYes = [&](QWidget*, const QString&) {
                during = !w.engine().Busy();
                w.Action("mnuDeal")->trigger();
                w.Action("mnuDeal")->trigger();
                stockDuring = QString::number(w.table().lstCardsBox.Count());
                return f.answer;
            };
            w.engine().autoPlay = true;
            for (int i = 0; i < 2000 && stockDuring.isEmpty(); ++i) {
                w.engine().Tick();
                QVERIFY(Settle(w));
            }
            w.engine().autoPlay = false;
            QVERIFY(during);
            QCOMPARE(stockDuring, QString("27"));
            QCOMPARE(w.CardsLeft()->text(), QString("27"));
            int held = 0;
            for (int seat = 0; seat < 4; ++seat) held += w.table().HandSize(seat);
            QCOMPARE(held, 25);
            w.tmrCYC().stop();
            return;
        }

        if (command == LostLinkThenClose) {
            w.session().mode = Mode::Joiner;
            f.answer = true;  // leave the hand, which goes on without this seat
        }
        w.engine().RunAction([&] {
            during = true;
            if (command == LostLinkThenClose) {
                emit w.network().sckConnect().closed();
                w.close();
                QCOMPARE(f.exits, 0);
            } else {
                w.Action("mnuReset")->trigger();
                QCOMPARE(f.logons, 0);
            }
        });
        QVERIFY(during);
        switch (command) {
            case ResetLocal:
                QCOMPARE(f.logons, 1);
                QVERIFY(!w.session().IsNet());
                QCOMPARE(w.CardsLeft()->text(), QString("52"));
                QCOMPARE(w.table().lstCardsBox.Count(), 52);
                QCOMPARE(ScoreCaptions(w), QStringList(8, "0"));
                break;
            case ResetHost: {
                QCOMPARE(f.logons, 1);
                QVERIFY(w.session().IsNet() && w.session().IsHost());
                QCOMPARE(w.network().sckConnection().Element(0).State(), Socket::kListening);
                QCOMPARE(w.ProgressPanel()->text(), QString("进程：主机建立"));
                // The port takes a new link and seats it.
                QTcpSocket joiner;
                joiner.connectToHost(QHostAddress::LocalHost, quint16(port));
                QByteArray got;
                QTRY_VERIFY_WITH_TIMEOUT((got += joiner.readAll()).contains("[Seat]1\r\n"), 5000);
                w.network().CloseAllConnections();
                w.session().mode = Mode::Local;
                break;
            }
            case LostLinkThenClose:
                // The news opens in its turn, after the window's own commands.
                QVERIFY(Settle(w));
                QVERIFY2(f.questions.contains("本局还没有结束，确定要退出吗？其他人会继续，由电脑替你出牌。"),
                         qPrintable(f.questions.join("|")));
                QCOMPARE(f.infos, QStringList{QString("朱雀 走了，游戏结束！")});
                QCOMPARE(f.exits, 1);
                QVERIFY(QFile::exists(w.SettingsFile()));
                break;
        }
    }

    // Reset asks first in a network game; once it goes ahead the table is a
    // fresh local one: no scores, chat or player list, the person at the bottom.
    void reset_data() {
        QTest::addColumn<bool>("network");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("reset");
        QTest::newRow("local game") << false << false << false << true;
        QTest::newRow("network game, No") << true << false << true << false;
        QTest::newRow("network game, Yes") << true << true << true << true;
    }
    void reset() {
        QFETCH(bool, network);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, reset);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        // A finished game, a chat line, a player list and, in a network game, the person at another seat.
        w.Action("mnuDeal")->trigger();
        w.engine().GameWon();
        // No to the next game: the finished hand stays open.
        QVERIFY(Settle(w));
        QVERIFY(w.tableWidget().Revealing());
        w.AppendChat("朱雀: 再来");
        w.lstConnections()->addItem("青龙");
        w.ShowProgressText("主机建立");
        if (network) {
            w.session().mode = Mode::Host;
            w.session().LocalSeat = 2;
            w.session().SlotCount = 3;
            w.engine().AdjustDirection();
        }
        f.questions.clear();
        f.answer = answer;
        const QStringList scores = ScoreCaptions(w);
        QVERIFY(scores != QStringList(8, "0"));

        w.Action("mnuReset")->trigger();

        QCOMPARE(f.questions, asked ? QStringList{"重置将断开现有连接，是否继续？"} : QStringList());
        QCOMPARE(f.logons, reset ? 1 : 0);
        if (!reset) {
            QVERIFY(w.session().IsNet());
            QVERIFY(w.session().IsHost());
            QCOMPARE(ScoreCaptions(w), scores);
            QCOMPARE(w.txtDialog()->toPlainText(), QString("朱雀: 再来"));
            w.session().mode = Mode::Local;
            return;
        }
        QVERIFY(!w.session().IsNet());
        QVERIFY(!w.tableWidget().Revealing());
        QVERIFY(w.seatCues().Result()->isHidden());
        QCOMPARE(w.session().LocalSeat, 0);
        QCOMPARE(w.session().SlotCount, 0);
        QCOMPARE(w.table().TheLastThrower, 0);
        QCOMPARE(w.ProgressPanel()->text(), QString("进程：单机游戏"));
        QCOMPARE(ScoreCaptions(w), QStringList(8, "0"));
        QCOMPARE(w.lstConnections()->count(), 0);
        QCOMPARE(w.txtDialog()->toPlainText(), QString());
        QCOMPARE(w.tableWidget().PlacedRect(w.lblName(0)).topLeft(), QPoint(7200, 6400 + 1480));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.lblName(i)->text(), kDefaultNames[i]);
            QCOMPARE(w.lblScorer(i)->text(), kDefaultNames[i] + " 失分");
        }
    }
};

}  // namespace

VORN_TEST(TestTableWindow)
}  // namespace vorn

#include "tablewindow_test.moc"
