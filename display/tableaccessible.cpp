#include "display/tableaccessible.h"

#include <QAccessible>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <tuple>

#include "cards/tableclient.h"
#include "display/labelaccessible.h"
#include "display/tablewidget.h"

namespace vorn {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr QRect kStockTwips(kStockX, kStockY, TableWidget::kCardW, TableWidget::kCardH);
constexpr QRect kHeapTwips(kHeapX, kHeapY, TableWidget::kCardW, TableWidget::kCardH);

bool AtSpot(const CardImage& image, int x, int y) {
    return image.x == x && image.y == y && !image.face;
}

Card CardOfCell(int cell) {
    return Card{cell / kNumbers, cell % kNumbers + 1};
}

QString NameOf(CardShown shown, Card card, const Language& words) {
    switch (shown) {
        case CardShown::Own:
        case CardShown::Face:
            return Q(CardFaceName(card, words));
        case CardShown::Back:
        case CardShown::InPile:
            break;
    }
    return words.Tr(a11ytexts::kCardBack);
}

// One thing painted on the table: a card, the stock or the heap. It has no
// QObject; its owner, the table's interface, registers it with the cache and
// deletes it.
class TableItem : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    enum class Kind { Card, Stock, Heap };
    TableItem(TableAccessible* owner, Kind kind, Card card = {}) : owner_(owner), kind_(kind), card_(card) {}

    bool isValid() const override { return owner_->table() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_->window(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return owner_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return {};
        const TableWidget* table = owner_->table();
        if (!table) return {};
        const Language& words = table->language();
        switch (kind_) {
            case Kind::Stock:
                return words.Tr(a11ytexts::kStock);
            case Kind::Heap:
                return words.Tr(a11ytexts::kHeap);
            case Kind::Card:
                break;
        }
        return NameOf(ShownAs(*table, card_), card_, words);
    }

    QAccessible::Role role() const override {
        return Shown() == CardShown::Own ? QAccessible::CheckBox : QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        const TableWidget* table = owner_->table();
        if (!table) {
            s.invalid = true;
            return s;
        }
        s.invisible = !table->isVisible();
        const CardShown shown = Shown();
        // A card lying in a pile is not listed; its item only answers stale questions.
        if (kind_ == Kind::Card && shown == CardShown::InPile) s.invisible = true;
        if (shown == CardShown::Own) {
            s.focusable = true;
            s.checkable = true;
            s.checked = table->CardAt(card_).raised;
            s.focused = table->hasFocus() && table->HasFocusCard() && table->FocusCard() == card_;
        }
        return s;
    }

    QRect rect() const override {
        const TableWidget* table = owner_->table();
        if (!table) return {};
        QRect twips = kind_ == Kind::Stock ? kStockTwips : kHeapTwips;
        if (kind_ == Kind::Card) {
            const CardImage& image = table->CardAt(card_);
            twips = QRect(image.x, image.y, TableWidget::kCardW, TableWidget::kCardH);
        }
        const QRect pixels = table->ToPixels(twips);
        return QRect(table->mapToGlobal(pixels.topLeft()), pixels.size());
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    // Choosing a card by the screen reader does what a left click on it does.
    QStringList actionNames() const override {
        if (Shown() != CardShown::Own) return {};
        return {toggleAction(), pressAction()};
    }
    void doAction(const QString& name) override {
        TableWidget* table = owner_->table();
        if (!table || !actionNames().contains(name)) return;
        emit table->cardPressed(card_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    CardShown Shown() const {
        const TableWidget* table = owner_->table();
        if (kind_ != Kind::Card || !table) return CardShown::InPile;
        return ShownAs(*table, card_);
    }

    TableAccessible* owner_;
    Kind kind_;
    Card card_;
};

QAccessibleInterface* TableFactory(const QString& key, QObject* object) {
    if (key == QLatin1String(TableWidget::staticMetaObject.className()))
        if (auto* table = qobject_cast<TableWidget*>(object)) return new TableAccessible(table);
    return nullptr;
}

TableAccessible* Find(TableWidget* table) {
    if (!table || !QAccessible::isActive()) return nullptr;
    return dynamic_cast<TableAccessible*>(QAccessible::queryAccessibleInterface(table));
}

}  // namespace

CardShown ShownAs(const TableWidget& table, Card card) {
    const CardImage& image = table.CardAt(card);
    if (image.face && table.IsOwnCard(card)) return CardShown::Own;
    // The play beneath the one to beat is drawn faded: it belongs to the heap.
    if (AtSpot(image, kStockX, kStockY) || AtSpot(image, kHeapX, kHeapY) || table.IsDimmed(card))
        return CardShown::InPile;
    return image.face ? CardShown::Face : CardShown::Back;
}

TableAccessible::TableAccessible(TableWidget* table) : QAccessibleWidget(table, QAccessible::Pane) {
    for (int cell = 0; cell < kDeckSize; ++cell) {
        cards_[cell] = new TableItem(this, TableItem::Kind::Card, CardOfCell(cell));
        QAccessible::registerAccessibleInterface(cards_[cell]);
    }
    stock_ = new TableItem(this, TableItem::Kind::Stock);
    heap_ = new TableItem(this, TableItem::Kind::Heap);
    QAccessible::registerAccessibleInterface(stock_);
    QAccessible::registerAccessibleInterface(heap_);
    for (int cell = 0; cell < kDeckSize; ++cell) {
        const Card card = CardOfCell(cell);
        told_[cell] = {ShownAs(*table, card), table->CardAt(card).raised};
    }
    heapTold_ = HeapHasCards();
    // The items are gone before their ids could be asked for again, so the
    // ids are taken now; an id the cache already dropped is ignored there.
    for (QAccessibleInterface* item : cards_) ids_.push_back(QAccessible::uniqueId(item));
    ids_.push_back(QAccessible::uniqueId(stock_));
    ids_.push_back(QAccessible::uniqueId(heap_));
}

TableAccessible::~TableAccessible() {
    for (QAccessible::Id id : ids_) QAccessible::deleteAccessibleInterface(id);
}

TableWidget* TableAccessible::table() const {
    return qobject_cast<TableWidget*>(object());
}

QAccessibleInterface* TableAccessible::CardItem(Card card) const {
    return cards_[FaceCell(card)];
}
QAccessibleInterface* TableAccessible::StockItem() const {
    return stock_;
}
QAccessibleInterface* TableAccessible::HeapItem() const {
    return heap_;
}

QString TableAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        QString name = widget()->accessibleName();
        if (!name.isEmpty()) return name;
        const TableWidget* t = table();
        return t ? t->language().Tr(a11ytexts::kTable) : QString::fromUtf8(a11ytexts::kTable);
    }
    return QAccessibleWidget::text(t);
}

QAccessible::Role TableAccessible::role() const {
    return QAccessible::Pane;
}

bool TableAccessible::HeapHasCards() const {
    const TableWidget* t = table();
    if (!t) return false;
    for (int cell = 0; cell < kDeckSize; ++cell)
        if (AtSpot(t->CardAt(CardOfCell(cell)), kHeapX, kHeapY) || t->IsDimmed(CardOfCell(cell))) return true;
    return false;
}

std::vector<QAccessibleInterface*> TableAccessible::Items() const {
    std::vector<QAccessibleInterface*> items;
    const TableWidget* t = table();
    if (!t) return items;
    // The person's hand first, then what lies face up, then the other hands:
    // each group in the order of the pictures on the cloth.
    struct Entry {
        int group, x, y;
        QAccessibleInterface* item;
    };
    std::vector<Entry> entries;
    entries.reserve(kDeckSize);
    for (int cell = 0; cell < kDeckSize; ++cell) {
        const Card card = CardOfCell(cell);
        const CardImage& image = t->CardAt(card);
        switch (ShownAs(*t, card)) {
            case CardShown::Own:
                entries.push_back({0, image.x, image.y, cards_[cell]});
                break;
            case CardShown::Face:
                entries.push_back({1, image.x, image.y, cards_[cell]});
                break;
            case CardShown::Back:
                entries.push_back({2, image.x, image.y, cards_[cell]});
                break;
            case CardShown::InPile:
                break;
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.group, a.x, a.y) < std::tie(b.group, b.x, b.y);
    });
    items.reserve(entries.size() + 2);
    for (const Entry& e : entries) items.push_back(e.item);
    items.push_back(stock_);
    if (HeapHasCards()) items.push_back(heap_);
    return items;
}

int TableAccessible::childCount() const {
    return QAccessibleWidget::childCount() + int(Items().size());
}

QAccessibleInterface* TableAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index < 0) return nullptr;
    if (index < widgets) return QAccessibleWidget::child(index);
    const std::vector<QAccessibleInterface*> items = Items();
    const size_t at = size_t(index - widgets);
    return at < items.size() ? items[at] : nullptr;
}

int TableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const std::vector<QAccessibleInterface*> items = Items();
    auto at = std::find(items.begin(), items.end(), child);
    if (at != items.end()) return QAccessibleWidget::childCount() + int(at - items.begin());
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* TableAccessible::childAt(int x, int y) const {
    const TableWidget* t = table();
    if (!t) return nullptr;
    const QPoint global(x, y);
    // Controls lie above the cloth, so they answer first.
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
        QAccessibleInterface* c = QAccessibleWidget::child(i);
        if (c && !c->state().invisible && c->rect().contains(global)) return c;
    }
    // Cards overlap: the one drawn on top is the one under the pointer.
    Card card;
    if (t->CardAtPixel(t->mapFromGlobal(global), card) && ShownAs(*t, card) != CardShown::InPile)
        return CardItem(card);
    if (stock_->rect().contains(global)) return stock_;
    if (HeapHasCards() && heap_->rect().contains(global)) return heap_;
    return nullptr;
}

QAccessibleInterface* TableAccessible::focusChild() const {
    const TableWidget* t = table();
    if (t && t->hasFocus() && t->HasFocusCard() && ShownAs(*t, t->FocusCard()) == CardShown::Own)
        return CardItem(t->FocusCard());
    return QAccessibleWidget::focusChild();
}

void TableAccessible::Send(QAccessibleEvent& event) {
    if (eventSink)
        eventSink(&event);
    else
        QAccessible::updateAccessibility(&event);
}

void TableAccessible::CardChanged() {
    const TableWidget* t = table();
    if (!t) return;
    // Every card is compared, not only the one just painted: whether a card is
    // the person's follows the model, which may move it without repainting it.
    bool reorder = false;
    std::vector<Card> renamed, restated;
    for (int cell = 0; cell < kDeckSize; ++cell) {
        const Card card = CardOfCell(cell);
        const Told now{ShownAs(*t, card), t->CardAt(card).raised};
        Told& was = told_[cell];
        if (now.shown != was.shown) {
            reorder = true;
            const bool listedBoth = now.shown != CardShown::InPile && was.shown != CardShown::InPile;
            if (listedBoth &&
                NameOf(now.shown, card, t->language()) != NameOf(was.shown, card, t->language()))
                renamed.push_back(card);
            if (listedBoth && (now.shown == CardShown::Own || was.shown == CardShown::Own))
                restated.push_back(card);
        } else if (now.shown == CardShown::Own && now.raised != was.raised) {
            restated.push_back(card);
        }
        was = now;
    }
    const bool heap = HeapHasCards();
    reorder = reorder || heap != heapTold_;
    heapTold_ = heap;
    if (!t->HasFocusCard()) focusTold_ = -1;

    if (reorder) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        Send(event);
    }
    for (Card card : renamed) {
        QAccessibleEvent event(CardItem(card), QAccessible::NameChanged);
        Send(event);
    }
    for (Card card : restated) {
        QAccessible::State changed;
        changed.checked = true;
        changed.checkable = true;
        QAccessibleStateChangeEvent event(CardItem(card), changed);
        Send(event);
    }
}

void TableAccessible::FocusMoved(Card card) {
    const TableWidget* t = table();
    if (!t || !t->hasFocus() || !t->HasFocusCard() || !(t->FocusCard() == card)) return;
    if (ShownAs(*t, card) != CardShown::Own) return;
    if (focusTold_ == FaceCell(card)) return;
    focusTold_ = FaceCell(card);
    QAccessibleEvent event(CardItem(card), QAccessible::Focus);
    Send(event);
}

void InstallTableAccessibility() {
    // Qt keeps the factories for the life of the program; installing twice
    // would only ask the same factory twice.
    static const bool installed = [] {
        QAccessible::installFactory(TableFactory);
        QAccessible::installFactory(LabelFactory);
        return true;
    }();
    (void)installed;
}

void NotifyCardChanged(TableWidget* table, Card) {
    if (TableAccessible* a = Find(table)) a->CardChanged();
}

void NotifyFocus(TableWidget* table, Card card) {
    if (TableAccessible* a = Find(table)) a->FocusMoved(card);
}

}  // namespace vorn
