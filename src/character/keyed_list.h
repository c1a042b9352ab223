// A 1-based list of shared entries, optionally keyed: the collection type
// that holds a character's item lists, the list of characters and the
// lines of a sheet script.  Entries are shared so that a script holding an
// item keeps it alive after the list is gone.
#pragma once

#include "common/text.h"
#include "common/vb_error.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quillet {

template <typename T>
class KeyedList {
public:
    using Entry = std::shared_ptr<T>;

    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    bool empty() const { return entries_.empty(); }

    // Entry at a 1-based position; error 9 "Subscript out of range" outside.
    const Entry& Item(int64_t position) const
    {
        if (position < 1 || position > static_cast<int64_t>(entries_.size()))
            throw VbError(vberr::SubscriptOutOfRange);
        return entries_[static_cast<size_t>(position - 1)].value;
    }

    // Entry by key, compared without regard to case; error 5 when absent.
    const Entry& Item(TextView key) const
    {
        for (const auto& slot : entries_)
            if (slot.key && equalsIgnoreCase(*slot.key, key))
                return slot.value;
        throw VbError(vberr::InvalidCall);
    }

    // Appends at the end; a key, when given, must be new (error 457).
    void Add(Entry entry, std::optional<Text> key = std::nullopt)
    {
        if (key) {
            for (const auto& slot : entries_)
                if (slot.key && equalsIgnoreCase(*slot.key, *key))
                    throw VbError(vberr::KeyAlreadyExists);
        }
        entries_.push_back(Slot{std::move(entry), std::move(key)});
    }

    // The key of the entry at a 1-based position; error 9 outside.
    const std::optional<Text>& KeyAt(int64_t position) const
    {
        Item(position); // range check
        return entries_[static_cast<size_t>(position - 1)].key;
    }

    void Remove(int64_t position)
    {
        Item(position); // range check
        entries_.erase(entries_.begin() + (position - 1));
    }

    void Clear() { entries_.clear(); }

private:
    // Declared before the iterator, which names it.
    struct Slot {
        Entry value;
        std::optional<Text> key;
    };

public:

    // Iteration in list order (for range-for and For Each).
    class const_iterator {
    public:
        using Inner = typename std::vector<typename KeyedList::Slot>::const_iterator;
        explicit const_iterator(Inner it) : it_(it) {}
        const Entry& operator*() const { return it_->value; }
        const_iterator& operator++() { ++it_; return *this; }
        bool operator!=(const const_iterator& other) const { return it_ != other.it_; }
        bool operator==(const const_iterator& other) const { return it_ == other.it_; }

    private:
        Inner it_;
    };
    const_iterator begin() const { return const_iterator(entries_.begin()); }
    const_iterator end() const { return const_iterator(entries_.end()); }

private:
    std::vector<Slot> entries_;
};

} // namespace quillet
