#pragma once

#include <QRect>

#include <map>
#include <optional>
#include <string>
#include <vector>

// What the main window keeps between runs: its place and size, whether it was maximised, the
// splitter, the job list's column widths and the folder each file dialog was last left in. It
// lives in a state file of its own, apart from the options in Settings.ini. A value that is
// missing, damaged or out of bounds is read as not there, so a hand-edited or hostile file
// never puts the window somewhere absurd; whether a place still fits the screens is for the
// window to judge.
class WindowState {
public:
    // The names file dialogs are remembered under.
    static constexpr const char* OPEN_FILES_DIALOG = "OpenFiles";
    static constexpr const char* IMPORT_FOLDER_DIALOG = "ImportFolder";
    static constexpr const char* OUTPUT_FOLDER_DIALOG = "OutputFolder";

    // The window's geometry when neither maximised nor minimised, without its frame.
    std::optional<QRect> geometry;
    bool maximized = false;
    std::vector<int> splitterSizes;
    std::vector<int> columnWidths;
    // By dialog name: absolute folders with a trailing '/'.
    std::map<std::string, std::string> folders;

    // $XDG_STATE_HOME/folverin/state.ini (by default under ~/.local/state); empty when there is
    // no home folder to keep it in.
    static std::string defaultPath();
    // What the file holds; nothing at all for a missing or unreadable file.
    static WindowState load(const std::string& path);
    // Replaces the file as a whole, its folders made private to the user first; false when it
    // cannot be written.
    bool save(const std::string& path) const;
};
