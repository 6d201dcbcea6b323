#pragma once

#include <memory>
#include <mutex>
#include <string>

class PDFDoc;

// The PDF engine has process-wide state (its global parameters) and no guard of its own:
// every use of it holds this lock, and only for short steps (opening a document, one page),
// so a summary never waits for a whole conversion.
namespace engine {

[[nodiscard]] std::unique_lock<std::mutex> lock();

// Opens a document; empty passwords are not passed. Non-regular files (folders, pipes,
// devices) are refused without touching them, so they can neither fail oddly nor block.
// The caller holds the lock. Never null; check isOk() before anything else.
std::unique_ptr<PDFDoc> openDocument(const std::string& path, const std::string& ownerPassword = {},
                                     const std::string& userPassword = {});

} // namespace engine
