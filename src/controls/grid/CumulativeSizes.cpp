#include "controls/grid/CumulativeSizes.h"

#include <bit>

namespace grid {

namespace {

int lowBit(int i) {
    return i & -i;
}

} // namespace

void CumulativeSizes::add(int index, int delta) {
    for (int i = index + 1; i <= size(); i += lowBit(i))
        m_tree[std::size_t(i - 1)] += delta;
}

void CumulativeSizes::set(int index, int value) {
    const int delta = value - at(index);
    m_values[std::size_t(index)] = value;
    if (delta != 0)
        add(index, delta);
}

void CumulativeSizes::append(int value) {
    const int i = size() + 1;
    m_values.push_back(value);
    m_tree.push_back(value + sumBefore(i - 1) - sumBefore(i - lowBit(i)));
}

void CumulativeSizes::resize(int count, int fill) {
    if (count <= size()) {
        m_values.resize(std::size_t(count));
        m_tree.resize(std::size_t(count));
        return;
    }
    // Rows are often added one at a time: an exact reserve would copy both arrays each time.
    while (size() < count)
        append(fill);
}

void CumulativeSizes::erase(int index) {
    m_values.erase(m_values.begin() + index);
    rebuild();
}

void CumulativeSizes::swap(int first, int second) {
    const int firstValue = at(first);
    set(first, at(second));
    set(second, firstValue);
}

void CumulativeSizes::clear() {
    m_values.clear();
    m_tree.clear();
}

void CumulativeSizes::rebuild() {
    m_tree.assign(m_values.begin(), m_values.end());
    for (int i = 1; i <= size(); ++i) {
        const int parent = i + lowBit(i);
        if (parent <= size())
            m_tree[std::size_t(parent - 1)] += m_tree[std::size_t(i - 1)];
    }
}

int CumulativeSizes::sumBefore(int count) const {
    int sum = 0;
    for (int i = count; i > 0; i -= lowBit(i))
        sum += m_tree[std::size_t(i - 1)];
    return sum;
}

int CumulativeSizes::countReaching(int offset) const {
    if (offset <= 0)
        return 0;
    int position = 0;
    int remaining = offset;
    for (int step = int(std::bit_floor(unsigned(size()))); step > 0; step >>= 1) {
        const int next = position + step;
        if (next <= size() && m_tree[std::size_t(next - 1)] < remaining) {
            position = next;
            remaining -= m_tree[std::size_t(next - 1)];
        }
    }
    return position + 1;
}

} // namespace grid
