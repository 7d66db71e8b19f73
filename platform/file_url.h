// "file:" URLs as the program, the viewer and the browser engine write them, mapped to local files.
#pragma once

#include <QString>

namespace vardel::platform {

// A "file:" URL taken apart: the local path it names and the in-page anchor after '#'.
struct FileUrl {
  QString path;      // absolute native path, mapped with nativePath(); empty when not a file URL
  QString fragment;  // anchor name without '#', percent escapes decoded; empty when none
};

// True when `url` starts with "file:" in any case (after leading blanks).
bool isFileUrl(const QString& url);

// Resolves a "file:" URL in any of the forms met in practice:
//  - "file:" + absolute path, with backslashes as the program forms it
//    ("file:/home/x/Ondravia/Ficheros\geografia.html");
//  - "file://" + absolute path and "file:///path"; "file://localhost/path";
//  - percent escapes ("%20", UTF-8 or Windows-1252 bytes) and plain blanks;
//  - the prefix repeated ("file:file:/path"), which a caller that puts "file:" in front of an
//    address it got from elsewhere produces;
//  - a relative path ("file:geografia.html"), taken from `baseFolder` (the current folder
//    when empty).
// The path as written is tried first, so names holding '%' or '#' keep working; only when it
// names nothing are the anchor cut off and the escapes decoded. Each path component is matched
// without regard to case when the exact name is absent. A URL with another scheme or a remote
// host gives an empty path. Whether the file exists is the caller's question.
FileUrl resolveFileUrl(const QString& url, const QString& baseFolder = QString());

// The canonical "file:///..." form of a local path, as the browser engine reports it.
QString fileUrlOf(const QString& path);

}  // namespace vardel::platform
