// Handle tables: a handle names a slot and the slot's generation, so a handle
// kept after its object was freed never reaches the object that reuses the slot.
#pragma once

#include <cstdint>
#include <vector>

// T needs the fields `bool used` and `uint32_t gen`.
template <class T> class Slots {
  public:
    // Stores t in a free slot; the handle is 0 only when all 65535 slots are taken.
    uintptr_t add(T t) {
        size_t i = 0;
        while (i < items_.size() && items_[i].used) ++i;
        if (i >= 0xFFFFu) return 0;
        if (i == items_.size()) items_.emplace_back();
        uint32_t gen = (items_[i].gen + 1u) & 0xFFFFu;
        if (gen == 0) gen = 1;
        t.gen = gen;
        t.used = true;
        items_[i] = std::move(t);
        return (static_cast<uintptr_t>(gen) << 16) | (i + 1);
    }
    // The live object of handle h, or nullptr.
    T* find(uintptr_t h) {
        size_t i = (h & 0xFFFFu);
        if (i == 0 || i > items_.size()) return nullptr;
        T& t = items_[i - 1];
        return t.used && t.gen == ((h >> 16) & 0xFFFFu) ? &t : nullptr;
    }
    // Frees handle h's slot (keeping its generation); unknown handles are ignored.
    void remove(uintptr_t h) {
        T* t = find(h);
        if (!t) return;
        uint32_t gen = t->gen;
        *t = T();
        t->gen = gen;
    }
    std::vector<T>& items() { return items_; }

  private:
    std::vector<T> items_;
};
