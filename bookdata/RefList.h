// The ordered, growable list every part of the catalogue uses: insertion order,
// no sorting, no duplicate check, a cursor held by the caller. An owning list
// destroys its elements; a referring one only forgets them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

namespace quillora {

enum class Ownership { Owning, Referring };

template <class T, Ownership O> class RefList {
public:
    static constexpr std::size_t kInitialRoom = 5;
    static constexpr std::size_t kGrowth = 10;
    using Slot = std::conditional_t<O == Ownership::Owning, std::unique_ptr<T>, T*>;

    // The room is nominal: storage is taken on the first append, so the many
    // lists that stay empty (a group without members) cost no allocation. A
    // list takes 16 bytes: a file's groups each have one.
    RefList() = default;
    RefList(const RefList&) = delete;
    RefList& operator=(const RefList&) = delete;
    RefList(RefList&& other) noexcept { take(other); }
    RefList& operator=(RefList&& other) noexcept {
        if (this != &other) {
            removeAll();
            take(other);
        }
        return *this;
    }
    ~RefList() { removeAll(); }

    // A null reference leaves the list unchanged.
    void append(Slot element) {
        if (element == nullptr) {
            return;
        }
        if (room_ <= count_ + 1) {
            room_ += kGrowth;
        }
        // Storage grows geometrically underneath; room_ is the list's nominal room.
        if (full()) {
            grow();
        }
        items_[count_++] = std::move(element);
    }

    T* first(std::size_t& cursor) const {
        cursor = 1;
        return count_ == 0 ? nullptr : get(0);
    }
    T* next(std::size_t& cursor) const {
        if (cursor >= count_) {
            return nullptr;
        }
        return get(cursor++);
    }

    // Destroys the elements when owning; leaves an empty list with no room.
    void removeAll() {
        if constexpr (O == Ownership::Owning) {
            // Destroy in order; elements may refer to earlier ones.
            for (std::uint32_t i = 0; i < count_; ++i) {
                items_[i].reset();
            }
        }
        delete[] items_;
        items_ = nullptr;
        count_ = 0;
        room_ = 0;
    }

    std::size_t count() const { return count_; }
    std::size_t room() const { return room_; }
    bool empty() const { return count_ == 0; }
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
    Iterator end() const { return Iterator(this, count_); }

private:
    // The storage is none, then kFirstSlots, doubled whenever they are full,
    // so that the count says how much there is. Most groups have a few
    // members: starting at one slot would cost them three allocations.
    static constexpr std::uint32_t kFirstSlots = 4;
    bool full() const {
        return count_ == 0 || (count_ >= kFirstSlots && (count_ & (count_ - 1)) == 0);
    }
    void grow() {
        const std::uint32_t slots = count_ == 0 ? kFirstSlots : count_ * 2;
        Slot* const grown = new Slot[slots];
        for (std::uint32_t i = 0; i < count_; ++i) {
            grown[i] = std::move(items_[i]);
        }
        delete[] items_;
        items_ = grown;
    }
    void take(RefList& other) {
        items_ = std::exchange(other.items_, nullptr);
        count_ = std::exchange(other.count_, 0);
        room_ = other.room_;
    }
    T* get(std::size_t i) const {
        if constexpr (O == Ownership::Owning) {
            return items_[i].get();
        } else {
            return items_[i];
        }
    }

    Slot* items_ = nullptr;
    std::uint32_t count_ = 0;
    std::uint32_t room_ = kInitialRoom;
};

template <class T> using OwningList = RefList<T, Ownership::Owning>;
template <class T> using ReferringList = RefList<T, Ownership::Referring>;

} // namespace quillora
