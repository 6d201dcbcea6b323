#pragma once

#include "core/MarkdownPage.h"
#include "engine/DocumentStyle.h"
#include "engine/PageLayout.h"
#include "engine/ScanProbe.h"

#include <map>
#include <memory>

class PDFDoc;
class PageTextDevice;

// The engine's side of the Markdown output: each page of a job shown once to a text device that
// keeps the words with their fonts and places (and notes what tells a scan), held while its
// neighbours need it; the document's style from a fixed sample of the job's pages, its outline
// and its information. Takes the engine lock itself.
class MarkdownPass {
public:
    MarkdownPass(PDFDoc& document, int firstPage, int lastPage, bool probeScans);
    ~MarkdownPass();
    MarkdownPass(const MarkdownPass&) = delete;
    MarkdownPass& operator=(const MarkdownPass&) = delete;

    struct Shown {
        PageLayout layout;
        ScanProbe::Reason reason = ScanProbe::Reason::None;
        double imageDotsPerInch = 0;
    };
    // The page as shown, showing it the first time it is asked for.
    const Shown& shown(int page);
    // Lets go of the pages before page.
    void forgetBefore(int page);

    // The style of the job's pages: the same for every piece of the job.
    DocumentStyle documentStyle();
    static markdown::DocumentInfo documentInfo(PDFDoc& document);

private:
    static constexpr int samplePages = 12;

    void readOutline(DocumentStyle& style);
    void linkWords(int page, PageLayout& layout);

    PDFDoc& document;
    int firstPage;
    int lastPage;
    bool probeScans;
    std::unique_ptr<PageTextDevice> device;
    std::map<int, Shown> pages;
};
