// Open addressing over a table of entry indexes (-1 for a free slot): the key indexes of files of many
// thousand entries, searched without a node per entry.
#pragma once

#include <cstddef>

namespace plat {

// A power of two at least twice the entries, so that a search ends at a free slot after a step or two.
inline size_t SlotCountFor(size_t entries)
{
    size_t slots = 16;
    while (slots < 2 * entries)
        slots *= 2;
    return slots;
}

// The slot of the first entry from hash's place on that matches (matches(index) tells), or the free slot
// where such an entry would go.
template <class Slots, class Matches> auto& FindSlot(Slots& slots, size_t hash, Matches matches)
{
    const size_t mask = slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        auto& held = slots[slot];
        if (held < 0 || matches(held))
            return held;
    }
}

} // namespace plat
