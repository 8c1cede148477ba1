#pragma once

#include <QLabel>
#include <QString>

namespace vorn {

// A caption on the cloth. Labels whose caption changes during a game (counts,
// scores) read their current text; the fixed captions are their own names.
inline QLabel* MakeTableLabel(QWidget* table, const QString& name, const QString& text,
                              bool fixedCaption = true) {
    auto* label = new QLabel(text, table);
    label->setObjectName(name);
    if (fixedCaption) label->setAccessibleName(text);
    label->setStyleSheet("color: #f4ecd2; background: transparent;");
    return label;
}

}  // namespace vorn
