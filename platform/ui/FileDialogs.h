#pragma once

#include <QString>

// The kinds of file the program's file dialogs choose. Each kind opens in the folder where the user last chose
// a file of that kind, kept across program starts in dat/qrinit.ini, section [folders]; the first time, or
// when that folder is gone, in the user's documents folder (the home folder when there is none).
enum class FileKind {
    Plan,     // floor plans to load
    Picture,  // pictures saved, and compass photographs to import
    Report,   // reports saved from and imported into the text panes
    CaseFile, // case databases imported and exported
    Backup,   // the folder that holds backups of the case file
};

// The file, folder and filter choosers of Prompts, started in the kind's folder; a choice becomes the kind's
// folder. Empty when cancelled.
namespace FileDialogs {

QString OpenFile(FileKind kind, const QString &title, const QString &filter);
QString SaveFile(FileKind kind, const QString &title, const QString &filter, QString *selectedFilter = nullptr);
QString Folder(FileKind kind, const QString &title);
// A folder that is one item of the kind, such as a backup to restore: its parent becomes the kind's folder,
// so that choosing the next one starts beside it.
QString FolderItem(FileKind kind, const QString &title);

// Where the chooser of a kind opens now.
QString StartFolder(FileKind kind);

// The filter of every picture format the program reads: all of them first, then PNG, JPEG and BMP, then the
// others, each under its own name.
QString ReadablePictureFilter();

} // namespace FileDialogs
