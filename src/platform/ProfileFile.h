#pragma once

#include <string>

// Windows-style profile (.ini) files: "[Section]" lines and "key=value" lines. Section and
// key names match without regard to (ASCII) case; everything a write does not touch is kept
// as it stands; a missing file is created by the first write. Writes replace the file
// through a temporary file and a rename, so a crash never leaves half a file.
namespace platform {

class ProfileFile {
public:
    // The integer that leads the value (optional sign, then digits; 0 when no digit leads),
    // or defaultValue when the file, section or key is missing.
    static int readInt(const std::string& path, const std::string& section, const std::string& key,
                       int defaultValue);
    // The value with surrounding blanks removed, or defaultValue when missing.
    static std::string readString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& defaultValue = {});
    // Sets key to value, adding the key at the end of its section or the section at the end of
    // the file. Returns false when the file cannot be written.
    static bool writeString(const std::string& path, const std::string& section, const std::string& key,
                            const std::string& value);
};

} // namespace platform
