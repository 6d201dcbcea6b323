#pragma once

#include "core/MarkdownPage.h"
#include "engine/PageLayout.h"

#include <string>

// Runs of text made from a page's words: words joined as the page sets them, words broken at
// a line end joined again, and words under one link kept in one span.
namespace WordSpans {

// How a word follows the text before it.
enum class Join { Directly, Space, NewLine };

// Appends text to spans, run together with the last span when it links to the same target.
void appendSpan(markdown::Spans& spans, const std::string& text, const std::string& target);
// Appends a word; at a new line a word broken at the line end is joined again.
void appendWord(markdown::Spans& spans, const PageLayout::Word& word, Join join);
std::string plainText(const markdown::Spans& spans);
// Whether text ends a sentence (or leads in to what follows, with a colon): a paragraph
// ending so does not run on.
bool endsSentence(const std::string& text);

} // namespace WordSpans
