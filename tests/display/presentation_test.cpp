// The queue of what the table shows: changes in order at the pace of the
// pauses, boxes from the event loop after what came before them.

#include <QObject>
#include <QTest>

#include <string>

#include "display/presentation.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn {

class PresentationTest : public QObject {
    Q_OBJECT
  private slots:
    // A script of steps: c<name> a change, p<ms> a pause, b<name> a box, F
    // Finish; what ran right away, and what ran once the queue was idle.
    void order_data() {
        testing::Columns<QString, QString, QString>("script", "atOnce", "inTheEnd");
        testing::Row("changes alone run at once", "c1 c2", "12", "12");
        testing::Row("a pause holds what follows", "c1 p30 c2 p30 c3", "1", "123");
        testing::Row("a box waits for the work that asked", "c1 bX c2", "1", "1X2");
        testing::Row("a box after a pause", "p30 bX c2", "", "X2");
        testing::Row("finish shows the changes, keeps the boxes", "c1 p500 c2 bX c3 p500 c4 F c5", "12345",
                     "12345X");
    }
    void order() {
        QFETCH(QString, script);
        QFETCH(QString, atOnce);
        QFETCH(QString, inTheEnd);
        Presentation presentation;
        QString ran;
        for (const QString& step : script.split(' ')) {
            const QString name = step.mid(1);
            switch (step[0].toLatin1()) {
                case 'c':
                    presentation.Run([&ran, name] { ran += name; });
                    break;
                case 'p':
                    presentation.Hold(name.toInt());
                    break;
                case 'b':
                    // A box is never opened from inside the call that asked for it.
                    presentation.Box([&ran, &presentation, name] {
                        QVERIFY(presentation.Busy());
                        ran += name;
                    });
                    break;
                default:
                    presentation.Finish();
            }
        }
        QCOMPARE(ran, atOnce);
        QTRY_VERIFY_WITH_TIMEOUT(!presentation.Busy(), 5000);
        QCOMPARE(ran, inTheEnd);
    }
};

VORN_TEST(PresentationTest)

}  // namespace vorn

#include "presentation_test.moc"
