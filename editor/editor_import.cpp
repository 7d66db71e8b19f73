// The import of the article on display: the request to the map's viewer, and its text put
// into the editor as plain lines.
#include "editor/editor_form.h"

#include "controls/host/html_control.h"
#include "editor/editor_host.h"
#include "editor/import_text.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"

#include <QTextCursor>
#include <QTextDocument>

#include <stdexcept>

namespace vardel {

namespace {

// Suspends redrawing and the change notification of a control for as long as it lives; the
// control's one change notification follows when it ends, however it ends.
class SuspendedUpdates {
 public:
  explicit SuspendedUpdates(platform::TRichEdit* control) : control_(control) { control_->beginUpdate(); }
  ~SuspendedUpdates() { control_->endUpdate(); }
  SuspendedUpdates(const SuspendedUpdates&) = delete;
  SuspendedUpdates& operator=(const SuspendedUpdates&) = delete;

 private:
  platform::TRichEdit* control_;
};

THTML& viewerOf(EditorHost& host) {
  THTML* viewer = host.htmlViewer();
  if (!viewer) throw ui::Error(QStringLiteral("No hay visor HTML del que importar el documento"));
  return *viewer;
}

}  // namespace

void TfrmEditor::abandonImport() {
  imported_ = true;
  tmCargarHTML->setEnabled(false);
  PanelMensaje->hide();
}

void TfrmEditor::requestDisplayedDocument() {
  const QString displayed = host_.displayedAddress();
  if (displayed.trimmed().isEmpty()) {
    // No article has been on display yet: there is nothing to import, and the editor starts
    // empty instead of waiting for a document that will never come.
    abandonImport();
    Editor->clear();
    Editor->setModified(false);
    return;
  }
  viewerOf(host_).LoadDocument(importRequestAddress(displayed));
}

void TfrmEditor::ImportDisplayedDocument() {
  if (imported_) return;
  imported_ = true;
  Editor->clear();
  THTML& viewer = viewerOf(host_);
  QString text;
  if (browser_) {
    text = viewer.GetDocumentText(0, 0);
  } else {
    const bool textMode = viewer.QueryTextMode() != 0;
    text = textMode ? viewer.GetDocumentText(-1, -1) : viewer.GetDocumentText(0, 0);
  }
  // The text stays Unicode: the editor holds and writes every character the article has.
  const QStringList lines = splitImportedLines(text);
  const qsizetype fit = linesThatFit(lines, Editor->document()->characterCount(), platform::TRichEdit::kMaxCharacters);
  {
    SuspendedUpdates suspended(Editor);
    // All the lines as one edit of the document. Emptied inside that edit, the document takes
    // it as a new text, laid out as far as it shows and the rest later, as a loaded file is.
    QTextDocument* document = Editor->document();
    QTextCursor edit(document);
    edit.beginEditBlock();
    document->clear();
    if (fit > 0) {
      edit.insertText(lines.constFirst());
      // The caret goes to the start before the rest follows, so that nothing drags it (and
      // a selection) along to the end, which would have the whole text laid out at once.
      Editor->setSelStart(0);
      if (fit > 1)
        edit.insertText(QChar(QChar::ParagraphSeparator) + lines.mid(1, fit - 1).join(QChar::ParagraphSeparator));
    }
    edit.endEditBlock();
  }
  if (fit < lines.size()) throw std::runtime_error("RichEdit line insertion error");
  Editor->setSelStart(0);
  Editor->scrollCaretIntoView();
  PanelMensaje->hide();
}

void TfrmEditor::tmCargarHTMLTimer(QObject*) {
  if (browser_) return;
  tmCargarHTML->setEnabled(false);
  ImportDisplayedDocument();
}

}  // namespace vardel
