#pragma once

#include <QAccessibleWidget>

class QLabel;

namespace vorn {

// A label placed on the table or in the status bar. Once a label has an
// accessible name, Qt reads that name alone and hides what the label shows;
// the status panels are named "牌局" and "进程" while their text changes all
// game long. Here the name stays the name and the shown text is offered as the
// description and through the text interface, so a screen reader has both.
// Vertical captions (one character a line) read as one word.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit LabelAccessible(QLabel* label);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface: the shown text, read-only, no caret.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // What the label shows as one line of plain text.
    QString ShownText() const;
};

// Answers for labels whose parent is a TableWidget or a QStatusBar; others keep Qt's own.
QAccessibleInterface* LabelFactory(const QString& key, QObject* object);

}  // namespace vorn
