#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// A list of texts always kept in ascending text order, duplicates kept: the
// shape of every named game-state list (the stock, the hands, the chosen cards
// and the computer player's work lists). Entry 0 is the lowest text. An added
// entry goes after any equal entries, so equal texts keep their arrival order.
class SortedList {
public:
    SortedList() = default;
    SortedList(std::initializer_list<std::string> items) {
        for (const auto& item : items) Add(item);
    }

    void Add(std::string item) {
        auto at = std::upper_bound(items_.begin(), items_.end(), item);
        items_.insert(at, std::move(item));
    }
    void RemoveAt(int index) { items_.erase(items_.begin() + index); }
    // Removes the first entry equal to item; false when there is none.
    bool Remove(std::string_view item) {
        int i = IndexOf(item);
        if (i < 0) return false;
        RemoveAt(i);
        return true;
    }
    int IndexOf(std::string_view item) const {
        auto at = std::lower_bound(items_.begin(), items_.end(), item);
        if (at == items_.end() || *at != item) return -1;
        return int(at - items_.begin());
    }
    bool Contains(std::string_view item) const { return IndexOf(item) >= 0; }
    void Clear() { items_.clear(); }

    int Count() const { return int(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& operator[](int index) const { return items_[index]; }
    const std::string& At(int index) const { return items_.at(index); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    const std::vector<std::string>& Items() const { return items_; }

    friend bool operator==(const SortedList&, const SortedList&) = default;

private:
    std::vector<std::string> items_;
};

}  // namespace vorn
