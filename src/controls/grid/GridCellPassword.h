#pragma once

#include "controls/grid/GridCell.h"

namespace grid {

// A cell that holds a secret: it shows one mask character per character of its text, the one
// the platform's password boxes use, and its in-place editor masks what is typed the same way.
// The text itself is the cell's value as for any cell, but never leaves it for the clipboard.
class CGridCellPassword : public CGridCell {
public:
    QString GetRuntimeClassName() const override { return QStringLiteral("CGridCellPassword"); }
    QString GetShownText() const override;
    // Nothing: a secret copied with its row would wait on the clipboard for any program to read.
    QString GetClipboardText() const override { return {}; }

protected:
    unsigned EditorStyle() const override;
};

} // namespace grid
