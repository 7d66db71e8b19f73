// TRichEdit: lines, selection, flags, clipboard, positions, the formatting rectangle and files.
#include "platform/richedit/richedit.h"

#include "platform/richedit/format_properties.h"
#include "platform/richedit/layout_limit.h"
#include "platform/richedit/rtf.h"
#include "platform/textcodec.h"

#include <QFileInfo>
#include <QMimeData>
#include <QResizeEvent>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

namespace vardel::platform {

using namespace richtext;

namespace {

// Rich text on the clipboard, as other programs offer it.
const QStringList kRtfMimeTypes = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};

// Default tab stops every half inch (720 twips), as rich-edit controls have them.
constexpr double kTabStopPixels = 48.0;

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

// Plain text into paragraphs: CR LF, LF and CR each end a line; NUL, which no text holds,
// is shown as the replacement character.
QString plainParagraphs(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  QString text = decodeWindowsText(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar(u'\r'), QChar(u'\n'));
  text.replace(QChar(u'\0'), QChar(0xFFFD));
  return text;
}

// Whether the characters [from, to) hold an image.
bool holdsPictures(const QTextDocument& document, int from, int to) {
  for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.position() < to && fragment.position() + fragment.length() > from &&
          fragment.charFormat().isImageFormat())
        return true;
    }
  }
  return false;
}

// Adds plain lines in `font` to the budget; false once it is exceeded.
bool addPlainText(LayoutBudget& budget, QStringView text, const QFont& font) {
  const double points = pointSizeOf(font);
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(QChar(u'\n'), start);
    if (end < 0) end = text.size();
    if (!budget.addParagraph(end - start, points)) return false;
    start = end + 1;
  }
  return true;
}

const QString kTooLong =
    QStringLiteral("The document is too long for the editor: its layout would not reach the end in a second");

}  // namespace

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  // The formatting rectangle leaves margins outside the viewport; they look like the text area.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  prepareDocument();
  connect(this, &QTextEdit::textChanged, this, [this] {
    if (updateDepth_ > 0)
      changedWhileSuspended_ = true;
    else
      emit change();
  });
  connect(this, &QTextEdit::cursorPositionChanged, this, &TRichEdit::noteSelection);
  connect(this, &QTextEdit::selectionChanged, this, &TRichEdit::noteSelection);
}

TRichEdit::~TRichEdit() = default;

// Settings of a fresh document that must not count as edits: made with undo off.
void TRichEdit::prepareDocument() {
  QTextDocument* doc = document();
  doc->setUndoRedoEnabled(false);
  doc->setDocumentMargin(kDocumentMargin);
  QTextOption option = doc->defaultTextOption();
  option.setTabStopDistance(kTabStopPixels);
  doc->setDefaultTextOption(option);
  doc->setUndoRedoEnabled(true);
  doc->setModified(false);
  applyViewZoom();
}

void TRichEdit::noteSelection() {
  const QTextCursor cursor = textCursor();
  if (cursor.anchor() == lastAnchor_ && cursor.position() == lastPosition_) return;
  lastAnchor_ = cursor.anchor();
  lastPosition_ = cursor.position();
  emit selectionChange();
}

// ---- lines ----

// The new text goes into a fresh document that replaces the control's own only when it is
// complete: a failure leaves the text as it was. The fresh document has no layout while it is
// filled, and a visible control lays it out lazily (the visible part first), which is many times
// faster for long texts than laying out every change to the old one.
std::unique_ptr<QTextDocument> TRichEdit::newDocument(const std::function<void(QTextCursor&)>& fill) const {
  const QTextDocument* old = document();
  auto fresh = std::make_unique<QTextDocument>();
  fresh->setUndoRedoEnabled(false);
  fresh->setDefaultFont(old->defaultFont());
  fresh->setDefaultTextOption(old->defaultTextOption());
  fresh->setDocumentMargin(kDocumentMargin);
  QTextCursor cursor(fresh.get());
  cursor.beginEditBlock();
  fill(cursor);
  cursor.endEditBlock();
  fresh->setUndoRedoEnabled(true);
  fresh->setModified(false);
  return fresh;
}

void TRichEdit::replaceText(const std::function<void(QTextCursor&)>& fill) { showText({newDocument(fill), false}); }

// A document with a word of thousands of formatting changes costs a second or more to lay out
// once: the new document gets the wrap mode and the page size the control would give it before
// it is shown, so that it is laid out once, and the old one is taken away before the mode changes,
// so that it is not laid out again on its way out.
void TRichEdit::showText(ReadText text) {
  QTextDocument* fresh = text.document.get();
  // Laid out in linear time also when a word holds thousands of formatting changes. (QTextEdit
  // gives its wrap mode to every document it shows.)
  const QTextOption::WrapMode wrap =
      hasWordOfManyFormats(*fresh) ? QTextOption::WordWrap : QTextOption::WrapAtWordBoundaryOrAnywhere;
  unkeptElements_ = text.unkeptElements;
  keepShapesOfManyFormats(*fresh);
  QTextDocument* old = document();
  QTextOption option = fresh->defaultTextOption();
  option.setWrapMode(lineWrapMode() == QTextEdit::NoWrap ? QTextOption::NoWrap : wrap);
  fresh->setDefaultTextOption(option);
  fresh->setPageSize(QSizeF(0, 0));  // not laid out until the control gives it its width
  beginUpdate();
  const bool ours = old->parent() == this;  // the first document belongs to QTextEdit, which frees it
  if (wordWrapMode() != wrap) {
    QTextDocument empty;
    setDocument(&empty);
    setWordWrapMode(wrap);
    setDocument(fresh);
  } else {
    setDocument(fresh);
  }
  fresh->setParent(this);
  text.document.release();
  if (ours) delete old;
  applyViewZoom();
  setTextCursor(QTextCursor(document()));  // the tool bar shows the format at the caret
  lastAnchor_ = lastPosition_ = -1;
  noteSelection();
  changedWhileSuspended_ = true;
  endUpdate();
}

void TRichEdit::clear() {
  replaceText([](QTextCursor&) {});
}

int TRichEdit::lineCount() const {
  const QTextDocument* doc = document();
  return doc->characterCount() <= 1 ? 0 : doc->blockCount();
}

QString TRichEdit::line(int index) const {
  if (index < 0 || index >= lineCount()) return {};
  return document()->findBlockByNumber(index).text();
}

void TRichEdit::setLines(const QStringList& lines) {
  qsizetype total = 0;
  for (const QString& l : lines) total += l.size() + 1;
  if (total > kMaxCharacters) throw std::runtime_error("RichEdit line insertion error");
  QString text = lines.join(QChar(u'\n'));
  text.remove(QChar(u'\r'));
  LayoutBudget budget;
  if (!addPlainText(budget, text, document()->defaultFont())) throw std::runtime_error("RichEdit line insertion error");
  replaceText([&](QTextCursor& cursor) { cursor.insertText(text); });
}

void TRichEdit::appendLine(const QString& line) {
  QTextDocument* doc = document();
  if (doc->characterCount() + line.size() + 1 > kMaxCharacters)
    throw std::runtime_error("RichEdit line insertion error");
  QString text = line;
  text.remove(QChar(u'\r'));
  text.replace(QChar(u'\n'), QChar(QChar::LineSeparator));
  QTextCursor cursor(doc);
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  if (lineCount() > 0) cursor.insertBlock();
  cursor.insertText(text);
  cursor.endEditBlock();
}

void TRichEdit::beginUpdate() {
  if (updateDepth_++ == 0) {
    changedWhileSuspended_ = false;
    viewport()->setUpdatesEnabled(false);
  }
}

void TRichEdit::endUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ > 0) return;
  viewport()->setUpdatesEnabled(true);
  viewport()->update();
  if (changedWhileSuspended_) {
    changedWhileSuspended_ = false;
    emit change();
  }
}

// ---- files ----

void TRichEdit::loadFromFile(const QString& path) { showText(readFile(path)); }

TRichEdit::ReadText TRichEdit::readFile(const QString& path) const {
  const QFileInfo info(path);
  if (info.isDir()) fail(QStringLiteral("Cannot open file \"%1\". It is a folder").arg(path));
  // Examined before it is opened and opened without waiting: a pipe or a device is refused,
  // never read for ever.
  FileRefusal refusal = FileRefusal::None;
  const int fd = openRegularFile(QFile::encodeName(path).constData(), kMaxFileBytes, &refusal);
  const int systemError = errno;
  if (refusal == FileRefusal::NotRegular)
    fail(QStringLiteral("Cannot open file \"%1\". It is not a document file").arg(path));
  if (refusal == FileRefusal::TooLarge)
    fail(QStringLiteral("Cannot open file \"%1\". It is larger than %2 MB").arg(path).arg(kMaxFileBytes >> 20));
  QFile file;
  if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    if (fd >= 0) ::close(fd);
    fail(QStringLiteral("Cannot open file \"%1\". %2").arg(path, qt_error_string(systemError)));
  }
  const QByteArray bytes = file.read(kMaxFileBytes);
  if (file.error() != QFileDevice::NoError)
    fail(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
  return readText(bytes);
}

// A regular file (or a new one) is replaced only once its successor is completely on disk:
// written beside it, flushed to the disk, then renamed over it. A device is written in place
// (replacing a device node by a file would break the device, and it has no folder to write
// beside); anything else is refused.
void TRichEdit::saveToFile(const QString& path) const {
  const QByteArray bytes = toRtf();
  const QFileInfo info(path);
  if (info.isDir()) fail(QStringLiteral("Cannot create file \"%1\". It is a folder").arg(path));
  if (info.exists() && !info.isFile()) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
      fail(QStringLiteral("Cannot create file \"%1\". It is not a document file").arg(path));
    QFile device(path);
    if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
      fail(QStringLiteral("Cannot create file \"%1\". %2").arg(path, device.errorString()));
    if (device.write(bytes) != bytes.size())
      fail(QStringLiteral("Cannot write file \"%1\". %2").arg(path, device.errorString()));
    return;
  }
  QSaveFile file(path);
  // Unbuffered: a write error while the last bytes go out must be seen here, since commit()
  // would rename a short file over the target after a failed buffer flush.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    fail(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    fail(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
  }
  // commit() flushes, syncs to the disk and renames; on failure the old file is untouched.
  if (!file.commit()) fail(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

void TRichEdit::loadFromBytes(const QByteArray& bytes) { showText(readText(bytes)); }

TRichEdit::ReadText TRichEdit::readText(const QByteArray& bytes) const {
  if (bytes.size() > kMaxFileBytes) fail(QStringLiteral("The text is larger than %1 MB").arg(kMaxFileBytes >> 20));
  if (rtf::looksLikeRtf(bytes)) {
    rtf::ReadResult result;
    // A document the layout cannot carry is refused before it replaces the text.
    LayoutBudget budget;
    std::unique_ptr<QTextDocument> document = newDocument([&](QTextCursor& cursor) {
      result = rtf::read(bytes, cursor, &budget);
      if (result.tooLong) fail(kTooLong);
    });
    return {std::move(document), result.unkeptElements};
  }
  const QString text = plainParagraphs(bytes);
  if (text.size() > kMaxCharacters) fail(QStringLiteral("The text is larger than %1 characters").arg(kMaxCharacters));
  LayoutBudget budget;
  if (!addPlainText(budget, text, document()->defaultFont())) fail(kTooLong);
  return {newDocument([&](QTextCursor& cursor) { cursor.insertText(text); }), false};
}

QByteArray TRichEdit::toRtf() const {
  rtf::Defaults defaults;
  defaults.color = palette().color(QPalette::Text);
  if (defaultFormat_.hasProperty(kCharset)) defaults.charset = defaultFormat_.intProperty(kCharset);
  defaults.pitch = defaultFormat_.intProperty(kPitch);
  return rtf::write(*document(), defaults);
}

// ---- selection, flags, clipboard ----

int TRichEdit::selStart() const { return textCursor().selectionStart(); }

int TRichEdit::selLength() const {
  const QTextCursor cursor = textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::setSelStart(int position) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(position, 0, document()->characterCount() - 1));
  setTextCursor(cursor);
}

void TRichEdit::setSelLength(int length) {
  QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart();
  const int end = std::clamp(start + std::max(length, 0), start, document()->characterCount() - 1);
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

bool TRichEdit::modified() const { return document()->isModified(); }
void TRichEdit::setModified(bool modified) { document()->setModified(modified); }
bool TRichEdit::canUndo() const { return document()->isUndoAvailable(); }

bool TRichEdit::canPasteFormat(const QString& mimeType) const {
  const QString type = mimeType.section(QChar(u';'), 0, 0).trimmed().toLower();
  static const QStringList kPastable = {QStringLiteral("text/plain"), QStringLiteral("text/html"),
                                        QStringLiteral("application/x-qt-richtext"),
                                        QStringLiteral("application/x-qrichtext")};
  return kPastable.contains(type) || kRtfMimeTypes.contains(type);
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
  for (const QString& type : kRtfMimeTypes)
    if (source->hasFormat(type)) return true;
  return QTextEdit::canInsertFromMimeData(source);
}

// The clipboard's data of another program answers every question afresh from that program,
// which may change the data or let it go between two questions (and Qt's own paste takes the
// first of the formats without looking: an empty clipboard would crash it). So what can be
// pasted is asked once, into data of our own, and only that is pasted.
void TRichEdit::insertFromMimeData(const QMimeData* source) {
  if (!source || isReadOnly()) return;
  const QStringList formats = source->formats();
  QMimeData copy;
  qsizetype bytes = 0;
  const auto take = [&](const QString& type) {
    if (!formats.contains(type)) return;
    const QByteArray data = source->data(type);
    bytes += data.size();
    if (!data.isEmpty()) copy.setData(type, data);
  };
  if (!formats.isEmpty() && formats.constFirst() == QStringLiteral("text/markdown")) take(formats.constFirst());
  take(QStringLiteral("application/x-qt-richtext"));
  take(QStringLiteral("application/x-qrichtext"));
  for (const QString& type : kRtfMimeTypes) take(type);
  take(QStringLiteral("text/html"));
  if (source->hasText()) {
    const QString text = source->text();
    bytes += text.size();
    if (!text.isEmpty()) copy.setText(text);
  }
  // Text the control cannot take, or cannot lay out, is not pasted at all.
  LayoutBudget budget;
  if (copy.formats().isEmpty() || bytes > kMaxFileBytes ||
      document()->characterCount() + copy.text().size() > kMaxCharacters || !addDocument(budget, *document()) ||
      !addPlainText(budget, copy.text(), document()->defaultFont())) {
    return;
  }
  // Our own format first; rich text beside HTML (office programs offer both) keeps more of
  // the rich-edit model than Qt's HTML import.
  if (!copy.hasFormat(QStringLiteral("application/x-qt-richtext"))) {
    for (const QString& type : kRtfMimeTypes) {
      const QByteArray rtfBytes = copy.data(type);
      if (!rtf::looksLikeRtf(rtfBytes)) continue;
      QTextDocument pasted;
      pasted.setDefaultFont(document()->defaultFont());
      QTextCursor at(&pasted);
      rtf::read(rtfBytes, at);
      LayoutBudget budget;
      if (document()->characterCount() + pasted.characterCount() > kMaxCharacters ||
          !addDocument(budget, *document()) || !addDocument(budget, pasted))
        return;
      adoptPictures(pasted);
      QTextCursor cursor = textCursor();
      cursor.insertFragment(QTextDocumentFragment(&pasted));
      setTextCursor(cursor);
      ensureCursorVisible();
      return;
    }
  }
  QTextEdit::insertFromMimeData(&copy);
}

// The pictures of a document about to be pasted: their images become resources of ours.
void TRichEdit::adoptPictures(const QTextDocument& from) {
  for (QTextBlock block = from.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QUrl name(format.toImageFormat().name());
      document()->addResource(QTextDocument::ImageResource, name, from.resource(QTextDocument::ImageResource, name));
    }
  }
}

QMimeData* TRichEdit::createMimeDataFromSelection() const {
  // Qt's own data answers only for the formats it makes itself; ours holds them all.
  std::unique_ptr<QMimeData> base(QTextEdit::createMimeDataFromSelection());
  auto* data = new QMimeData;
  const QTextCursor cursor = textCursor();
  // Qt's formats name pictures only by their resource in this document; ours carries them.
  const bool pictures = holdsPictures(*document(), cursor.selectionStart(), cursor.selectionEnd());
  for (const QString& format : base->formats()) {
    if (!pictures || format == QStringLiteral("text/plain")) data->setData(format, base->data(format));
  }
  if (cursor.hasSelection()) {
    rtf::Defaults defaults;
    defaults.color = palette().color(QPalette::Text);
    data->setData(QStringLiteral("text/rtf"),
                  rtf::write(*document(), defaults, cursor.selectionStart(), cursor.selectionEnd()));
  }
  return data;
}

}  // namespace vardel::platform
