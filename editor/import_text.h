// The text side of importing the article on display: the address asked of the viewer and the
// viewer's text cut into lines.
#pragma once

#include <QString>
#include <QStringList>

namespace vardel {

// The address the editor asks the viewer to load for the document on display `displayed`
// (the browser's own form, "file:///path"): its first "file://" and then its first "..."
// removed, and "file:" put in front. An address that still begins with "file:" after that
// (the map's own form, "file:" + path, which has no "file://") is already loadable and is
// passed as it is, instead of getting a second "file:" in front.
QString importRequestAddress(const QString& displayed);

// The lines of `text`: it ends at its first zero character and breaks at each CR, LF and CR
// LF; a break at the very end adds no empty line (so an empty text has no lines at all).
QStringList splitImportedLines(const QString& text);

// How many of `lines`, appended one after the other as paragraphs to a text of `characters`
// characters (its final paragraph mark included), a control that holds at most `limit`
// characters takes before one would pass the limit.
qsizetype linesThatFit(const QStringList& lines, qsizetype characters, qsizetype limit);

}  // namespace vardel
