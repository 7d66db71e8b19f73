// What the editor window needs of the program around it: the HTML viewer that reads the
// article on display, that article's address, which of the two programs this is, and whether
// the magazine's folder is the person's own.
#pragma once

#include <QString>

namespace vardel {

class THTML;  // controls/host/html_control.h

class EditorHost {
 public:
  virtual ~EditorHost() = default;
  // The map's HTML viewer control `w`: hidden off-screen in the browser build, the document
  // display itself in the basic build.
  virtual THTML* htmlViewer() = 0;
  // The address of the document on display (the map's URLActual); browser build only.
  virtual QString displayedAddress() = 0;
  // True in the browser build (`ondravia`).
  virtual bool browserBuild() = 0;
  // True when the content folder belongs to the person (a folder of theirs they may write
  // into); false for a disc, a disc's run folder or a read-only copy, where Save As then
  // starts in the person's documents folder instead.
  virtual bool contentFolderIsOwn() = 0;
};

}  // namespace vardel
