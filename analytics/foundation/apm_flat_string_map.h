#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace analytics {

// Says that entries come in name order, each name once, as a std::map gives them.
struct APMSortedUniqueNames {};

// A map from names to values kept as one array in name order: what std::map offers the event records,
// in the same order, but an event's few parameters cost one allocation instead of one each, and a name
// is found without making a string of it. As with an array, adding or removing an entry moves the ones
// after it, so an iterator holds only until the map changes.
template <typename Value>
class APMFlatStringMap {
public:
    using value_type = std::pair<std::string, Value>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    APMFlatStringMap() = default;
    // Entries already in order are appended as they come, without a search; a range given as an
    // rvalue gives up its values.
    template <typename Range>
    APMFlatStringMap(APMSortedUniqueNames, Range&& entries) {
        entries_.reserve(std::size(entries));
        for (auto& [name, value] : entries) {
            if constexpr (std::is_rvalue_reference_v<Range&&>) {
                entries_.emplace_back(name, std::move(value));
            } else {
                entries_.emplace_back(name, value);
            }
        }
    }
    APMFlatStringMap(std::initializer_list<value_type> entries) {
        for (const value_type& entry : entries) try_emplace(entry.first, entry.second);
    }

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void reserve(std::size_t count) { entries_.reserve(count); }

    // The first entry whose name is not before the given one.
    iterator lower_bound(std::string_view name) {
        return std::lower_bound(begin(), end(), name,
                                [](const value_type& entry, std::string_view key) { return entry.first < key; });
    }
    const_iterator lower_bound(std::string_view name) const {
        return std::lower_bound(begin(), end(), name,
                                [](const value_type& entry, std::string_view key) { return entry.first < key; });
    }

    iterator find(std::string_view name) {
        const auto place = lower_bound(name);
        return place != end() && place->first == name ? place : end();
    }
    const_iterator find(std::string_view name) const {
        const auto place = lower_bound(name);
        return place != end() && place->first == name ? place : end();
    }
    bool contains(std::string_view name) const { return find(name) != end(); }
    // As a map's: a name that is not there throws.
    const Value& at(std::string_view name) const {
        const auto place = find(name);
        if (place == end()) throw std::out_of_range("no parameter " + std::string(name));
        return place->second;
    }

    template <typename... Args>
    std::pair<iterator, bool> try_emplace(std::string_view name, Args&&... args) {
        const auto place = lower_bound(name);
        if (place != end() && place->first == name) return {place, false};
        return {entries_.emplace(place, std::piecewise_construct, std::forward_as_tuple(name),
                                 std::forward_as_tuple(std::forward<Args>(args)...)),
                true};
    }
    template <typename... Args>
    std::pair<iterator, bool> emplace(std::string_view name, Args&&... args) {
        return try_emplace(name, std::forward<Args>(args)...);
    }
    std::pair<iterator, bool> insert(value_type entry) {
        return try_emplace(entry.first, std::move(entry.second));
    }
    template <typename V>
    std::pair<iterator, bool> insert_or_assign(std::string_view name, V&& value) {
        auto [place, added] = try_emplace(name, std::forward<V>(value));
        if (!added) place->second = std::forward<V>(value);
        return {place, added};
    }
    // The hint is where the name would go; names given in order go at the end without a search.
    template <typename V>
    iterator insert_or_assign(const_iterator hint, std::string_view name, V&& value) {
        const bool fitsHint = (hint == end() || name < hint->first) &&
                              (hint == begin() || std::prev(hint)->first < name);
        if (!fitsHint) return insert_or_assign(name, std::forward<V>(value)).first;
        return entries_.emplace(hint, std::piecewise_construct, std::forward_as_tuple(name),
                                std::forward_as_tuple(std::forward<V>(value)));
    }

    iterator erase(const_iterator place) { return entries_.erase(place); }
    std::size_t erase(std::string_view name) {
        const auto place = find(name);
        if (place == end()) return 0;
        entries_.erase(place);
        return 1;
    }

    // As std::erase_if of a map: removes the entries the predicate picks, keeping the others in order.
    template <typename Predicate>
    friend std::size_t erase_if(APMFlatStringMap& map, Predicate picked) {
        return std::erase_if(map.entries_, picked);
    }

    friend bool operator==(const APMFlatStringMap& a, const APMFlatStringMap& b) { return a.entries_ == b.entries_; }

private:
    std::vector<value_type> entries_;
};

}  // namespace analytics
