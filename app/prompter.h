#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace vorn {

// The program's message boxes, titled "Vorn". Tests replace the answerers so
// that no box ever blocks them; the program uses modal QMessageBoxes.
struct Prompter {
    enum class Icon { Information, Exclamation };
    std::function<void(QWidget* parent, const QString& text, Icon icon)> info;
    std::function<bool(QWidget* parent, const QString& text)> yesNo;  // No is the default button
    std::function<bool(QWidget* parent, const QString& text)> yesNoDefaultYes;
    // What the table shows beside a box about it while it is not empty (the
    // cards left at the end of a hand): such a box keeps clear of the cards.
    // The window sets it around that one
    // box; answerers that replace the boxes may read it here.
    std::shared_ptr<QString> detail = std::make_shared<QString>();

    // Modal QMessageBoxes.
    static Prompter Default();
    void Info(QWidget* parent, const QString& text, Icon icon = Icon::Information) {
        info(parent, text, icon);
    }
    bool AskYesNo(QWidget* parent, const QString& text) { return yesNo(parent, text); }
};

}  // namespace vorn
