// A group's members in file order, linked through the members themselves: a
// file has hundreds of thousands of entries, and a list of its own per group
// cost an allocation each time one grew.
#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

class MemberList {
public:
    // entry must be in no other group's list.
    void append(LibraryEntry* entry) {
        entry->nextMember = nullptr;
        if (last_ == nullptr) {
            first_ = entry;
        } else {
            last_->nextMember = entry;
        }
        last_ = entry;
    }
    bool empty() const { return first_ == nullptr; }
    LibraryEntry* first() const { return first_; }

    class Iterator {
    public:
        explicit Iterator(LibraryEntry* at) : at_(at) {}
        LibraryEntry* operator*() const { return at_; }
        Iterator& operator++() {
            at_ = at_->nextMember;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return at_ != other.at_; }

    private:
        LibraryEntry* at_;
    };
    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(nullptr); }

private:
    LibraryEntry* first_ = nullptr;
    LibraryEntry* last_ = nullptr;
};

} // namespace quillora
