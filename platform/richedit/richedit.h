// TRichEdit: the rich-text edit control the editor is built on, over QTextEdit, with the
// attribute sets and the line, selection and file operations a rich-edit control offers.
#pragma once

#include "platform/file_limits.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace vardel::platform {

class TRichEdit;
struct TextAttributeAccess;

// Character styles, as a bit set.
enum RichFontStyle : unsigned {
  rfsBold = 1u << 0,
  rfsItalic = 1u << 1,
  rfsUnderline = 1u << 2,
  rfsStrikeOut = 1u << 3,
};
using RichFontStyles = unsigned;

enum class FontPitch { fpDefault, fpVariable, fpFixed };

// One set of character attributes of a control: the selection's (read at the selection start,
// or at the caret when nothing is selected; written to the selected text) or the default ones
// (the control's default character format: the text that has no format of its own and what is
// typed into it). Each setter changes that one attribute and keeps the others.
class TTextAttributes {
 public:
  enum class Kind { Selection, Default };
  TTextAttributes(TRichEdit* control, Kind kind) : control_(control), kind_(kind) {}

  QString name() const;
  void setName(const QString& face);
  // Whole points.
  int size() const;
  void setSize(int points);
  RichFontStyles style() const;
  void setStyle(RichFontStyles style);
  QColor color() const;
  void setColor(const QColor& color);
  // The Windows character set number (0 ANSI, 1 default, 2 symbol, 128 Shift-JIS, 134 GB2312,
  // 161 Greek, 162 Turkish, 204 Cyrillic, 238 Central European, ...).
  int charset() const;
  void setCharset(int charset);
  FontPitch pitch() const;
  void setPitch(FontPitch pitch);

  // All attributes at once (what the font dialog gives).
  void assign(const QFont& font, const QColor& color, int charset);

 private:
  TRichEdit* control_;
  Kind kind_;
};

// The paragraph attributes of the current paragraphs: read from the paragraph of the
// selection start, written to every paragraph the selection touches. Indents are whole points
// (the control keeps twentieths of a point: reading divides by 20, truncating; writing
// multiplies by 20).
class TParaAttributes {
 public:
  explicit TParaAttributes(TRichEdit* control) : control_(control) {}

  // Indent of the first line from the left margin.
  int firstIndent() const;
  void setFirstIndent(int points);
  // Indent of the following lines, counted from the first line's indent.
  int leftIndent() const;
  void setLeftIndent(int points);
  // Indent from the right margin.
  int rightIndent() const;
  void setRightIndent(int points);
  // 0 left, 1 right, 2 centre.
  int alignment() const;
  void setAlignment(int alignment);
  // Setting bullets on raises a left indent below 10 points to 10; setting them off sets the
  // left indent to 0.
  bool bullets() const;
  void setBullets(bool on);

 private:
  TRichEdit* control_;
};

class TRichEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit TRichEdit(QWidget* parent = nullptr);
  ~TRichEdit() override;

  // The text as lines (a line is a paragraph).
  void clear();
  int lineCount() const;
  QString line(int index) const;
  // Replaces the whole text with plain lines.
  void setLines(const QStringList& lines);
  // Appends one plain line as a new paragraph at the end; throws ui-independent
  // std::runtime_error("RichEdit line insertion error") when the control cannot take it.
  void appendLine(const QString& line);
  // Redrawing and the change notification are suspended between these; endUpdate fires one
  // change notification when something changed. Nestable.
  void beginUpdate();
  void endUpdate();

  // The most text the control takes, in characters, and the largest file it opens, in bytes.
  static constexpr int kMaxCharacters = 64 * 1024 * 1024;
  static constexpr qint64 kMaxFileBytes = kMaxDocumentBytes;

  // Files. Loading reads rich text, or, when the bytes do not begin as rich text, plain text
  // (valid UTF-8 as UTF-8, otherwise Windows-1252). Saving always writes rich text, into a new
  // file beside the target that replaces the target only once it is completely written.
  // Both throw std::runtime_error with a readable message on any failure; the control's text
  // is unchanged by a failed load.
  // Loading, setLines() and clear() put the new text into a new document(): connect to the
  // control's own signals, not to those of a document.
  void loadFromFile(const QString& path);
  void saveToFile(const QString& path) const;
  void loadFromBytes(const QByteArray& bytes);
  QByteArray toRtf() const;
  // The two halves of loadFromBytes(). Reading turns the bytes into a document for this control
  // without laying it out; it throws as loadFromBytes() does and leaves the control as it is.
  // Showing puts that document into the control, which lays out what it shows.
  struct ReadText {
    std::unique_ptr<QTextDocument> document;
    bool unkeptElements = false;
  };
  ReadText readText(const QByteArray& bytes) const;
  ReadText readFile(const QString& path) const;
  void showText(ReadText text);
  // The text last loaded held something that saving cannot write back (an embedded object, a
  // drawing); false again once other text replaces it.
  bool hasUnkeptElements() const { return unkeptElements_; }

  // Selection: start and length in characters from the start of the text.
  int selStart() const;
  int selLength() const;
  // Moves the caret (the selection becomes empty).
  void setSelStart(int position);
  void setSelLength(int length);

  bool modified() const;
  void setModified(bool modified);
  // readOnly/setReadOnly, undo(), cut(), copy(), paste() are QTextEdit's.
  bool canUndo() const;
  // Whether the control can paste clipboard data of this MIME type.
  bool canPasteFormat(const QString& mimeType) const;

  // Line (0-based) of a character position, and the position where a line starts (-1 for a
  // line past the end).
  int lineFromChar(int position) const;
  int lineIndex(int line) const;
  void scrollCaretIntoView();

  // The formatting rectangle, in the control's coordinates.
  QRect formattingRect() const;
  void setFormattingRect(const QRect& rect);

  // Prints the whole text over the printable page of `printer`, `title` as the job's title.
  void print(QPrinter* printer, const QString& title);

  // The view's scale of the text, 1 for the sizes the text has: the text on the screen grows or
  // shrinks, the document (and what is saved or printed from it) stays as it is. Kept for every
  // text loaded afterwards.
  void setViewZoom(double factor);
  double viewZoom() const { return viewZoom_; }

  TTextAttributes& selAttributes() { return selAttributes_; }
  TTextAttributes& defAttributes() { return defAttributes_; }
  TParaAttributes& paragraph() { return paragraph_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;

 signals:
  // The text changed (not while updates are suspended; once at endUpdate).
  void change();
  // The selection or the caret moved.
  void selectionChange();

 private:
  friend struct TextAttributeAccess;
  void prepareDocument();
  void applyFormattingRect();
  std::unique_ptr<QTextDocument> newDocument(const std::function<void(QTextCursor&)>& fill) const;
  void replaceText(const std::function<void(QTextCursor&)>& fill);
  void noteSelection();
  void adoptPictures(const QTextDocument& from);
  void applyViewZoom();

  // The document keeps one pixel around the text (top and bottom); the formatting rectangle
  // decides the rest.
  static constexpr int kDocumentMargin = 1;

  TTextAttributes selAttributes_{this, TTextAttributes::Kind::Selection};
  TTextAttributes defAttributes_{this, TTextAttributes::Kind::Default};
  TParaAttributes paragraph_{this};
  int updateDepth_ = 0;
  bool changedWhileSuspended_ = false;
  // Character set and pitch of the default attributes (the rest is the default font and the
  // palette's text colour).
  QTextCharFormat defaultFormat_;
  std::optional<QRect> formattingRect_;
  int lastAnchor_ = 0;
  int lastPosition_ = 0;
  bool unkeptElements_ = false;
  double viewZoom_ = 1;
  // What the text is laid out for while zoomed: the screen's resolution times the zoom, so that
  // every size in points grows with it.
  QImage zoomDevice_;
};

}  // namespace vardel::platform
