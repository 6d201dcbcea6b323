#include "core/MarkdownWriter.h"

std::string MarkdownWriter::frontMatter(const markdown::DocumentInfo&) {
    return {};
}

std::string MarkdownWriter::page(const markdown::Page&, const markdown::Block*) {
    return {};
}
