#include "display/labelaccessible.h"

#include <QLabel>
#include <QStatusBar>
#include <QTextDocument>

#include <algorithm>

#include "display/tablewidget.h"

namespace vorn {

LabelAccessible::LabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

QString LabelAccessible::ShownText() const {
    const auto* label = static_cast<const QLabel*>(widget());
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setHtml(text);
        text = doc.toPlainText();
    }
    const QStringList lines = text.split('\n');
    const bool vertical = lines.size() > 1 && std::all_of(lines.begin(), lines.end(),
                                                          [](const QString& l) { return l.size() <= 1; });
    return vertical ? lines.join(QString()) : lines.join(' ');
}

QString LabelAccessible::text(QAccessible::Text t) const {
    const QString shown = ShownText();
    switch (t) {
        case QAccessible::Name: {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? shown : name;
        }
        case QAccessible::Description: {
            QString description = widget()->accessibleDescription();
            if (!description.isEmpty()) return description;
            return shown == text(QAccessible::Name) ? QString() : shown;
        }
        default:
            return QAccessibleWidget::text(t);
    }
}

QAccessible::State LabelAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
}

void* LabelAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void LabelAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString LabelAccessible::text(int startOffset, int endOffset) const {
    const QString shown = ShownText();
    startOffset = std::clamp(startOffset, 0, int(shown.size()));
    endOffset = endOffset < 0 ? int(shown.size()) : std::clamp(endOffset, startOffset, int(shown.size()));
    return shown.mid(startOffset, endOffset - startOffset);
}

int LabelAccessible::characterCount() const {
    return int(ShownText().size());
}

QString LabelAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

QAccessibleInterface* LabelFactory(const QString& key, QObject* object) {
    if (key != QLatin1String("QLabel")) return nullptr;
    auto* label = qobject_cast<QLabel*>(object);
    if (!label) return nullptr;
    QObject* parent = label->parent();
    if (!qobject_cast<TableWidget*>(parent) && !qobject_cast<QStatusBar*>(parent)) return nullptr;
    return new LabelAccessible(label);
}

}  // namespace vorn
