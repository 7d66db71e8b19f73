// The control class registry: which library provides each hosted control class, per user.
#pragma once

#include <QString>

namespace vardel::platform {

// Class of the light HTML viewer of html.ocx.
inline constexpr char kHtmlViewerClassId[] = "{B7FC355E-8CE7-11CF-9754-00AA00C00908}";
// Class of the browser control, a component the system provides (see lookupControl).
inline constexpr char kWebBrowserClassId[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";
// File name of the browser control library.
inline constexpr char kWebBrowserLibrary[] = "webbrowser.so";

// A class id in its canonical form: braces, upper-case hex digits, 8-4-4-4-12. Braces may be
// missing and any case is accepted; anything else gives an empty text.
QString canonicalClassId(const QString& classId);

// The registry file: $XDG_DATA_HOME/vardel/controls.reg ($HOME/.local/share when unset).
// Read again on every call, so a test may point XDG_DATA_HOME elsewhere at any time.
// Format: UTF-8 lines "{CLASS-ID}=/absolute/path/of/library"; '#' starts a comment.
QString controlRegistryFile();

// Records that `libraryPath` (made absolute) provides `classId`, replacing any earlier entry.
// The file is rewritten atomically under a lock, so concurrent registrations never leave a
// torn file. False, with the reason in `error`, for a malformed class id or path, or when
// the file cannot be written.
bool registerControl(const QString& classId, const QString& libraryPath, QString* error = nullptr);

// Removes the entry of `classId`. When `libraryPath` is given, only an entry naming that
// library is removed, so unregistering one copy of a library leaves another copy's
// registration alone. True when no matching entry remains (also when there was none); false
// with `error` when the file cannot be written.
bool unregisterControl(const QString& classId, const QString& libraryPath = QString(), QString* error = nullptr);

// The library registered for `classId`; empty when none is.
QString registeredControl(const QString& classId);

// Where the library of `classId` is to be loaded from; empty when nowhere. A registered class
// gives its registered path (whether or not the file still exists: the caller reports that).
// The browser control needs no registration: when it is not registered, or its registered
// library is gone, it is looked for as kWebBrowserLibrary in the installation folder, then in the
// system's control folder (systemControlFolder()). Whether that library can actually load
// (Qt WebEngine installed) shows only when it is loaded.
QString lookupControl(const QString& classId);

// The folder where an installation puts the libraries of system-provided controls
// (<prefix>/lib/vardel/), fixed when the program is built.
QString systemControlFolder();

}  // namespace vardel::platform
