#pragma once

#include <QWidget>

class COptionTree;

// The description pane under the option list: the focused item's label in bold and its help
// text below it.
class COptionTreeInfo : public QWidget {
    Q_OBJECT

public:
    explicit COptionTreeInfo(COptionTree* tree);

    // The texts shown now: label and help text (empty when nothing is to be shown).
    QString ShownLabel() const;
    QString ShownHelp() const;
    // The height that shows the bold label and, wrapped at width, the tree's longest help text
    // (no less than three lines of help).
    int NeededHeight(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    COptionTree* tree;
};
