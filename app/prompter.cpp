#include "app/prompter.h"

#include <QMessageBox>

#include "app/texts.h"

namespace vorn {

Prompter Prompter::Default() {
    return Prompter{
        [](QWidget* parent, const QString& text, Icon icon) {
            QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                            texts::kTitle, text, QMessageBox::Ok, parent);
            box.exec();
        },
        [](QWidget* parent, const QString& text) {
            QMessageBox box(QMessageBox::Question, texts::kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes;
        },
        [](QWidget* parent, const QString& text) {
            QMessageBox box(QMessageBox::Question, texts::kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes;
        }};
}

}  // namespace vorn
