#include "ui/JobResult.h"

#include <QFileInfo>

namespace {

const QString STOPPED_TEXT = QStringLiteral("Convert stopped.");

// The last message says why a job was passed over: what was told before it (such as missing
// recognition data) did not end the job.
QString shortReason(const QStringList& messages, const QString& pdfPath) {
    if (messages.isEmpty())
        return {};
    QString reason = messages.last().simplified();
    if (!pdfPath.isEmpty())
        reason.replace(pdfPath, QFileInfo(pdfPath).fileName());
    return reason;
}

} // namespace

JobResult JobResult::of(JobOutcome outcome, const QStringList& messages, const QString& pdfPath,
                        const QString& outputPath) {
    JobResult result;
    QStringList details = messages;
    switch (outcome) {
    case JobOutcome::Converted:
        result.kind = Kind::Converted;
        result.text = QStringLiteral("Converted");
        details.prepend(QStringLiteral("Converted to %1").arg(outputPath));
        break;
    case JobOutcome::Skipped:
    case JobOutcome::EndBatch: {
        result.kind = Kind::Skipped;
        const QString reason = shortReason(messages, pdfPath);
        result.text =
            reason.isEmpty() ? QStringLiteral("Skipped") : QStringLiteral("Skipped: %1").arg(reason);
        if (details.isEmpty())
            details.append(QStringLiteral("Not converted."));
        break;
    }
    case JobOutcome::Stopped:
        result.kind = Kind::Stopped;
        result.text = QStringLiteral("Stopped");
        details.append(STOPPED_TEXT);
        break;
    }
    result.details = details.join(QLatin1Char('\n'));
    return result;
}
