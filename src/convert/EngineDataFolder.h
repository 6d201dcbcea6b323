#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// The engine cannot read our configuration file itself; it looks its tables up in one data
// folder with a fixed layout. This lays out such a folder from the configuration lines, with
// a link for every table a line names, so each encoding and table resolves through its line.
// Folders are kept in the user's cache, one per distinct configuration, so a start costs no
// file creation once the folder exists.
class EngineDataFolder {
public:
    // cacheRoot: where the folders are kept; empty means the user's cache folder.
    explicit EngineDataFolder(const QString& cacheRoot = {});

    // The folder for the given configuration text (the file's contents). Empty when no folder
    // can be made.
    QString folderFor(const QByteArray& configText);

    // Lays out the links the configuration lines name below root.
    static bool layOut(const QString& root, const QByteArray& configText);

private:
    QString cachedFolder(const QByteArray& configText);

    QString root;
    QByteArray currentText;
    QString currentFolder;
    std::unique_ptr<QTemporaryDir> fallback; // when the cache cannot be written
};
