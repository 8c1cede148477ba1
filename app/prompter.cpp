#include "app/prompter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

#include "app/texts.h"

namespace vorn {

namespace {

// A box with a detail is about what lies on the table, whose result the table
// itself shows: the box holds the question alone and opens beside the window,
// or above or below it, when the screen has room there, so that it covers
// none of the cards; else at the screen's foot by the window's right edge,
// over the status line and as little of the table as it can.
void ShowDetail(QMessageBox& box, const QString& detail, QWidget* parent) {
    if (detail.isEmpty() || !parent) return;
    QWidget* window = parent->window();
    QScreen* screen = window->screen();
    if (!screen) return;
    box.adjustSize();
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QSize size = box.frameGeometry().size().expandedTo(box.sizeHint());
    const int top =
        std::clamp(frame.center().y() - size.height() / 2, area.top(), area.bottom() - size.height());
    const int left =
        std::clamp(frame.center().x() - size.width() / 2, area.left(), area.right() - size.width());
    if (frame.right() + 8 + size.width() <= area.right())
        box.move(frame.right() + 8, top);
    else if (frame.left() - 8 - size.width() >= area.left())
        box.move(frame.left() - 8 - size.width(), top);
    else if (frame.bottom() + 8 + size.height() <= area.bottom())
        box.move(left, frame.bottom() + 8);
    else if (frame.top() - 8 - size.height() >= area.top())
        box.move(left, frame.top() - 8 - size.height());
    else
        box.move(frame.right() - box.width() - 8, area.bottom() - box.height());
}

}  // namespace

Prompter Prompter::Default() {
    Prompter p;
    const std::shared_ptr<QString> detail = p.detail;
    p.info = [detail](QWidget* parent, const QString& text, Icon icon) {
        QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                        texts::kTitle, text, QMessageBox::Ok, parent);
        ShowDetail(box, *detail, parent);
        box.exec();
    };
    auto ask = [detail](QWidget* parent, const QString& text, QMessageBox::StandardButton preferred) {
        QMessageBox box(QMessageBox::Question, texts::kTitle, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(preferred);
        ShowDetail(box, *detail, parent);
        return box.exec() == QMessageBox::Yes;
    };
    p.yesNo = [ask](QWidget* parent, const QString& text) { return ask(parent, text, QMessageBox::No); };
    p.yesNoDefaultYes = [ask](QWidget* parent, const QString& text) {
        return ask(parent, text, QMessageBox::Yes);
    };
    return p;
}

}  // namespace vorn
