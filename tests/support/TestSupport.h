#pragma once

#include <QString>

namespace testsupport {

// Makes every Qt warning that a test did not announce with QTest::ignoreMessage a failure.
// Call it from init(): the setting is reset after each test function.
void failOnUnexpectedWarnings();

// Folder that holds the built programs and their "Unicode" tables.
QString programDir();

} // namespace testsupport
