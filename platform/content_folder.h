// Confinement to the magazine's folder: whether a path, once resolved, lies inside it.
#pragma once

#include <QString>

namespace vardel::platform {

// The real path `path` names, as the system would reach it: symbolic links followed, "." and
// ".." taken as the system takes them (after the link they follow). For a path that does not
// exist yet, the deepest part that exists is resolved and the rest appended as written. Empty
// when the path can never be reached inside anything (a ".." after a missing component, a
// link pointing nowhere) or is empty.
QString realPath(const QString& path);

// True when `path` lies inside `folder` or is `folder` itself, both resolved with realPath():
// "..", absolute names and links inside the folder that point outside it all leave it. A
// folder that does not exist holds nothing. Relative paths are taken from the current folder.
bool insideFolder(const QString& path, const QString& folder);

}  // namespace vardel::platform
