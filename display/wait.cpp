#include "display/wait.h"

#include <QEventLoop>
#include <QTimer>

namespace vorn {

void WaitResponsive(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

}  // namespace vorn
