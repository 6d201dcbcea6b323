#include "engine/LineView.h"

#include "engine/WordSpans.h"

#include <algorithm>
#include <cmath>
#include <map>

using Word = PageLayout::Word;

LineView LineView::of(const PageLayout::Line& line, const std::vector<char>& taken) {
    LineView view;
    view.block = line.block;
    std::map<double, std::size_t> sizes;
    for (std::size_t w = 0; w < line.words.size(); ++w) {
        if (taken[w])
            continue;
        const Word& word = line.words[w];
        view.words.push_back(&word);
        sizes[std::round(word.size * 2) / 2] += word.text.size();
        view.bold = view.bold && word.bold;
        view.monospaced = view.monospaced && word.monospaced;
    }
    if (view.words.empty())
        return view;
    view.left = view.words.front()->left;
    view.right = view.words.back()->right;
    view.top = view.words.front()->top;
    view.bottom = view.words.front()->bottom;
    for (const Word* word : view.words) {
        view.top = std::min(view.top, word->top);
        view.bottom = std::max(view.bottom, word->bottom);
    }
    view.size = std::max_element(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
                    return a.second < b.second;
                })->first;
    return view;
}

std::string LineView::text(std::size_t from) const {
    markdown::Spans spans;
    for (std::size_t i = from; i < words.size(); ++i)
        WordSpans::appendWord(spans, *words[i],
                              i > from && words[i - 1]->spaceAfter ? WordSpans::Join::Space
                                                                   : WordSpans::Join::Directly);
    return WordSpans::plainText(spans);
}
