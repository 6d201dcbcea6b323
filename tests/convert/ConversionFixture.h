#pragma once

#include "core/BatchRunner.h"
#include "core/ConvertOptions.h"
#include "engine/FileConverter.h"
#include "platform/ScriptedDialogs.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

// A scratch folder with the engine configuration written as start-up writes it, the scripted
// dialogs installed, and the fixture PDFs the conversion tests share.
class ConversionFixture {
public:
    ConversionFixture();

    QString path(const QString& name) const;
    QString configPath() const;

    // Fixture documents, written on first use.
    QString latinColumns();              // 3 pages, two columns painted right column first
    QString script(const QString& name); // "chinese", "traditional", "japanese", "cyrillic", "greek",
                                         // "polish", "multilingual" (all of them, Turkish, Hebrew and Korean)
    QString threePages();                // plain 3-page document
    QString withInfo();                  // information dictionary with markup, UTF-16 and dates
    QString markupBody();                // page text that looks like markup
    QString encrypted(const QString& user, const QString& owner, bool allowExtract);

    // pdftotext's output for the same file and options, the oracle for the body text.
    static QByteArray pdftotext(const QString& pdf, const QStringList& arguments);
    static QByteArray readAll(const QString& path);

    JobOutcome convert(const QString& pdf, const ConvertOptions& options, const QString& owner = {},
                       const QString& user = {});
    // Runs one batch over pdfs, every job with these options and passwords; progress texts
    // are appended to progress.
    BatchOutcome runBatch(const QStringList& pdfs, const ConvertOptions& options,
                          const JobPasswords& passwords = {});
    // Converts and returns the output file's bytes.
    QByteArray convertedText(const QString& pdf, const ConvertOptions& options);
    static QString outputPathFor(const QString& pdf, const ConvertOptions& options);
    QStringList messageTexts() const;

    platform::ScriptedDialogs dialogs;
    QStringList progress;

private:
    QString cached(const QString& name);

    QTemporaryDir temp;
};
