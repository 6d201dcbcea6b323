#pragma once

#include <vector>

namespace grid {

// Row heights or column widths with their running sums, so that positions and the item at a
// pixel offset cost O(log n) however many rows there are. Appending is O(log n); erasing one
// item rebuilds the sums.
class CumulativeSizes {
public:
    int size() const { return int(m_values.size()); }
    int at(int index) const { return m_values[std::size_t(index)]; }
    void set(int index, int value);
    void append(int value);
    // Shrinking keeps the sums of the remaining items; growing appends fill.
    void resize(int count, int fill);
    void erase(int index);
    void swap(int first, int second);
    void clear();

    // Sum of the first count items.
    int sumBefore(int count) const;
    int total() const { return sumBefore(size()); }
    // The smallest count whose sum reaches offset (0 for offset <= 0, size() + 1 when the
    // total stays below it).
    int countReaching(int offset) const;

private:
    void add(int index, int delta);
    void rebuild();

    std::vector<int> m_values;
    std::vector<int> m_tree; // Fenwick tree, 1-based: m_tree[i - 1] covers (i - lowbit(i), i]
};

} // namespace grid
