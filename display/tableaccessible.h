#pragma once

#include "cards/words.h"

#include <QAccessibleWidget>

#include <array>
#include <functional>
#include <vector>

#include "cards/card.h"

class QAccessibleEvent;

namespace vorn {

class TableWidget;

namespace a11ytexts {
inline constexpr const char* kTable = QT_TRANSLATE_NOOP("Vorn", "牌桌");
inline constexpr const char* kCardBack = QT_TRANSLATE_NOOP("Vorn", "牌背");
inline constexpr const char* kStock = QT_TRANSLATE_NOOP("Vorn", "余牌");
inline constexpr const char* kHeap = QT_TRANSLATE_NOOP("Vorn", "已出的牌");
}  // namespace a11ytexts

// How one card picture appears to a screen reader. Cards lying in the stock or
// in the heap of finished plays are not items of their own: each pile is one.
enum class CardShown {
    InPile,  // face down at the stock or at the heap, or the faded play under the one to beat
    Own,     // one of the person's cards, face up: choosable
    Face,    // any other face-up picture (a play on the table, a hand shown at the end)
    Back,    // a face-down card elsewhere, e.g. in another seat's hand
};
CardShown ShownAs(const TableWidget& table, Card card);

// The table as screen readers see it: the child widgets placed on the cloth
// (labels, the play button, the chat boxes), then one item per card a person
// can see, in reading order: the person's hand left to right, the face-up
// cards, the other backs, the stock, and the heap when it holds cards.
//
// Cards are painted, not widgets, so their items are interfaces of our own,
// one per card, created with the table's interface and living exactly as long
// as it. Which items are listed is computed from the pictures at every
// question, so the tree is never stale; the events only tell listeners to ask
// again. The last state told is kept per card so that a repeated update
// (a card sliding across the table sends dozens) raises no event.
class TableAccessible : public QAccessibleWidget {
  public:
    explicit TableAccessible(TableWidget* table);
    ~TableAccessible() override;

    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    TableWidget* table() const;
    // The item of a card, whether or not it is listed at the moment.
    QAccessibleInterface* CardItem(Card card) const;
    QAccessibleInterface* StockItem() const;
    QAccessibleInterface* HeapItem() const;

    // After a card picture changed: tells listeners what a person would notice
    // (cards entering or leaving the list, a name or a chosen mark changing).
    void CardChanged();
    // After keyboard focus moved to card: announces it once per move.
    void FocusMoved(Card card);

    // Where the change events go. QAccessible::updateAccessibility by default;
    // a test may listen here instead, since the headless platform drops events.
    std::function<void(QAccessibleEvent*)> eventSink;

  private:
    struct Told {
        CardShown shown = CardShown::InPile;
        bool raised = false;
    };
    std::vector<QAccessibleInterface*> Items() const;
    bool HeapHasCards() const;
    void Send(QAccessibleEvent& event);

    std::array<QAccessibleInterface*, kDeckSize> cards_{};
    QAccessibleInterface* stock_ = nullptr;
    QAccessibleInterface* heap_ = nullptr;
    std::array<Told, kDeckSize> told_{};
    bool heapTold_ = false;
    int focusTold_ = -1;  // FaceCell of the card last announced as focused
    std::vector<QAccessible::Id> ids_;
};

// Makes every TableWidget (and the labels placed on it or in a status bar)
// answer screen readers with the interfaces above. Call once at start.
void InstallTableAccessibility();

// The window's hooks: a card picture of table changed, or keyboard focus moved
// onto a card. Both cost nothing while no assistive technology listens.
void NotifyCardChanged(TableWidget* table, Card card);
void NotifyFocus(TableWidget* table, Card card);

}  // namespace vorn
