#pragma once

#include <QLabel>
#include <QString>

#include "display/language.h"

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

// A fixed caption given as a source text: shown and named in the table's
// language, and following it when the person switches.
inline QLabel* MakeCaptionLabel(QWidget* table, const QString& name, const char* source,
                                const Language& words) {
    QLabel* label = MakeTableLabel(table, name, QString(), false);
    words.Caption(label, source);
    words.Name(label, source);
    return label;
}

}  // namespace vorn
