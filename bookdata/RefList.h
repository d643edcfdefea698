// The ordered, growable list every part of the catalogue uses: insertion order,
// no sorting, no duplicate check, a cursor held by the caller. An owning list
// destroys its elements; a referring one only forgets them.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace quillora {

enum class Ownership { Owning, Referring };

template <class T, Ownership O> class RefList {
public:
    static constexpr std::size_t kInitialRoom = 5;
    static constexpr std::size_t kGrowth = 10;
    using Slot = std::conditional_t<O == Ownership::Owning, std::unique_ptr<T>, T*>;

    // The room is nominal: storage is taken on the first append, so the many
    // lists that stay empty (a group without members) cost no allocation.
    RefList() = default;
    RefList(const RefList&) = delete;
    RefList& operator=(const RefList&) = delete;
    RefList(RefList&&) noexcept = default;
    RefList& operator=(RefList&&) noexcept = default;
    ~RefList() { removeAll(); }

    // A null reference leaves the list unchanged.
    void append(Slot element) {
        if (element == nullptr) {
            return;
        }
        if (room_ <= items_.size() + 1) {
            room_ += kGrowth;
        }
        // Storage grows geometrically underneath; room_ is the list's nominal room.
        items_.push_back(std::move(element));
    }

    T* first(std::size_t& cursor) const {
        cursor = 1;
        return items_.empty() ? nullptr : get(0);
    }
    T* next(std::size_t& cursor) const {
        if (cursor >= items_.size()) {
            return nullptr;
        }
        return get(cursor++);
    }

    // Destroys the elements when owning; leaves an empty list with no room.
    void removeAll() {
        if constexpr (O == Ownership::Owning) {
            // Destroy in order; elements may refer to earlier ones.
            for (auto& item : items_) {
                item.reset();
            }
        }
        std::vector<Slot>().swap(items_);
        room_ = 0;
    }

    std::size_t count() const { return items_.size(); }
    std::size_t room() const { return room_; }
    bool empty() const { return items_.empty(); }
    T* at(std::size_t i) const { return get(i); }

    // Range access for code that only reads.
    class Iterator {
    public:
        Iterator(const RefList* list, std::size_t i) : list_(list), i_(i) {}
        T* operator*() const { return list_->get(i_); }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return i_ != other.i_; }

    private:
        const RefList* list_;
        std::size_t i_;
    };
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, items_.size()); }

private:
    T* get(std::size_t i) const {
        if constexpr (O == Ownership::Owning) {
            return items_[i].get();
        } else {
            return items_[i];
        }
    }

    std::vector<Slot> items_;
    std::size_t room_ = kInitialRoom;
};

template <class T> using OwningList = RefList<T, Ownership::Owning>;
template <class T> using ReferringList = RefList<T, Ownership::Referring>;

} // namespace quillora
