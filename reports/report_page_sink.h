#pragma once

#include "reports/report_page.h"

// Where the engine hands each page as soon as it is finished, so that a long report need not be
// held whole: a document keeps its pages, a PDF file writes each one and forgets it.
class ReportPageSink {
public:
    virtual ~ReportPageSink() = default;
    // The pages in their order; their texts are in the text cache the engine was given.
    virtual void take(const ReportPage &page) = 0;
};
