// Program folder and content paths: Windows-style relative names mapped onto this file system.
#pragma once

#include <QString>

namespace vardel::platform {

// The real folder of the running executable, always with a trailing '/'.
QString programFolder();

// Makes programFolder() answer `folder` (a trailing '/' is added when missing). Used by
// tests that run the program's windows against a content folder of their own; an empty
// text returns to the executable's folder.
void overrideProgramFolder(const QString& folder);

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
