// Program folder and content paths: Windows-style relative names mapped onto this file system.
#pragma once

#include <QString>

namespace vardel::platform {

// The folder of the magazine's content, always with a trailing '/': the folder the program
// was given with setContentFolder(), else the installation folder (the demo magazine lies
// beside the programs). Every content path starts here. What lies in it is data only: no
// library, plug-in or configuration is ever taken from it.
QString programFolder();

// The real folder of the running executable (symbolic links resolved), with a trailing '/':
// the program's own installation. Libraries and hosted controls come only from here.
QString installationFolder();

// Makes programFolder() answer `folder` (a trailing '/' is added when missing) when it differs
// from the installation; an empty text returns to the installation folder. Set once, by main,
// before any window exists.
void setContentFolder(const QString& folder);

// Makes installationFolder(), and with it programFolder() unless a content folder was set,
// answer `folder`. Used by tests that run the program's windows against a folder of their
// own; an empty text returns to the executable's folder.
void overrideProgramFolder(const QString& folder);

// True when `folder` belongs to the person: they may write into it, and it is not a run
// folder that scripts/disc.sh made from a disc (one holding the file kDiscRunFolderMarker).
// A disc, an image's run folder or a read-only copy are not the person's own: nothing of
// theirs is to be saved there unasked.
bool isPersonsOwnFolder(const QString& folder);

// The file by which scripts/disc.sh marks the run folders it makes.
inline constexpr char kDiscRunFolderMarker[] = ".vardel-disc";

// True when `path`, as written or with its folder's links resolved, lies inside `folder`.
bool liesInside(const QString& path, const QString& folder);

// Maps a path written the way the program forms it (program folder + a relative name with
// backslashes, such as "Graficos\p8.") onto this file system:
//  - backslashes become '/';
//  - a component that does not exist with its exact name is looked up without regard to
//    case in its folder (discs copied to Linux often come upper-case);
//  - a component with trailing dots that does not exist is looked up without them, as
//    Windows drops them ("p8." names the file "p8").
// Components that match nothing are kept as written, so the result then names a file that
// does not exist. No length limit applies.
QString nativePath(const QString& path);

// programFolder() + relative, mapped with nativePath().
QString contentPath(const QString& relative);

}  // namespace vardel::platform
