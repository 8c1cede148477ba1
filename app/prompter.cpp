#include "app/prompter.h"

#include <QMessageBox>

#include "app/texts.h"

namespace vorn {

Prompter Prompter::Default() {
    Prompter p;
    const std::shared_ptr<QString> detail = p.detail;
    p.info = [detail](QWidget* parent, const QString& text, Icon icon) {
        QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                        texts::kTitle, text, QMessageBox::Ok, parent);
        box.setInformativeText(*detail);
        box.exec();
    };
    auto ask = [detail](QWidget* parent, const QString& text, QMessageBox::StandardButton preferred) {
        QMessageBox box(QMessageBox::Question, texts::kTitle, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(preferred);
        box.setInformativeText(*detail);
        return box.exec() == QMessageBox::Yes;
    };
    p.yesNo = [ask](QWidget* parent, const QString& text) { return ask(parent, text, QMessageBox::No); };
    p.yesNoDefaultYes = [ask](QWidget* parent, const QString& text) {
        return ask(parent, text, QMessageBox::Yes);
    };
    return p;
}

}  // namespace vorn
