#pragma once

#include <QAbstractItemView>
#include <QFile>
#include <QListView>
#include <QStringList>
#include <QTest>
#include <QTreeView>

// The file dialog shows its folder in a list or a detail view, whichever the user last chose.
inline QAbstractItemView* visibleFileView(QWidget* dialog) {
    auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (list && list->isVisible())
        return list;
    return dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
}

// The names the dialog lists for the browsed folder, sorted.
inline QStringList listedNames(QWidget* dialog) {
    QAbstractItemView* view = visibleFileView(dialog);
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    names.sort();
    return names;
}

inline void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}
