// The editor base's ties to the desktop: opening a document with the
// application the user's system associates with it, telling the user when
// that fails, and the per-thread set-up that shell and clipboard calls need.
#pragma once

#include <string>

namespace orvane {

// Results of openDocument, as the Windows shell reports them: above 32 is
// success; 31 means no application is associated with the document's type;
// anything else up to 32 is another failure.
constexpr long kShellNoAssociation = 31;
constexpr long kShellLastError = 32;

// Opens `path` (UTF-8) with the verb "open". `ownerWindow` is the native
// window that owns any message the shell shows; it may be null.
long openDocument(const std::string& path, void* ownerWindow);

// Shows a modal message with an OK button (Windows), or writes it to
// standard error (native build).
void showMessage(const std::string& text, const std::string& caption, void* ownerWindow);

// OLE for the calling thread, for as long as an editor lives on it.
void oleInitialize();
void oleUninitialize();

// The process's current working directory (UTF-8), at most `maxChars`
// characters; empty when it cannot be had.
std::string currentDirectory(size_t maxChars);

}  // namespace orvane
