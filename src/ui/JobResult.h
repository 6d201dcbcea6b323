#pragma once

#include "core/JobConverter.h"

#include <QString>
#include <QStringList>

// What a job's turn came to, as its row in the job list shows it: a mark, a short text and
// the whole story for the tool tip.
struct JobResult {
    enum class Kind { Converted, Skipped, Stopped };

    Kind kind = Kind::Converted;
    QString text;    // "Converted", "Skipped: <why>" or "Stopped"
    QString details; // every message the job told, or where its output went

    // messages: what the job told in its turn, in order; outputPath: the file written when
    // converted. The row names its file already, so the short text calls it by its name alone.
    static JobResult of(JobOutcome outcome, const QStringList& messages, const QString& pdfPath,
                        const QString& outputPath);
};
