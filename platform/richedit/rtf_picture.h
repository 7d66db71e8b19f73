// Pictures of rich text (\pict): read into the document as images that keep their RTF form and
// their bytes, and written back in the same form.
#pragma once

#include <QByteArray>
#include <QTextImageFormat>

#include <string_view>

class QTextDocument;

namespace vardel::platform::rtf {

// One \pict group as the reader meets it: its control words, then its data (hexadecimal digits
// or \binN bytes).
class PictureReader {
 public:
  // Takes a control word of the group; false when it is not one of a picture's.
  bool word(std::string_view name, long long value, bool hasValue);
  void hexDigit(int value);
  void binary(QByteArrayView bytes) { data_.append(bytes); }

  // True when the group named a kind of picture, so it can be kept (shown, or a placeholder).
  bool keepable() const { return !kind_.isEmpty(); }
  // The image to insert: its resource is added to `document`. Call once, when keepable().
  // A decoded picture takes its bytes from `budget`; one that does not fit is not decoded but
  // shown as a placeholder (and still kept).
  QTextImageFormat finish(QTextDocument* document, qint64& budget);

 private:
  QByteArray kind_;   // the kind's control word: pngblip, jpegblip, emfblip, wmetafile, ...
  QByteArray words_;  // every control word of the group but the kind, as read
  QByteArray data_;
  int pendingNibble_ = -1;
  long long picw_ = 0, pich_ = 0, goalw_ = 0, goalh_ = 0, scalex_ = 100, scaley_ = 100;
};

// Whether a document character format is a picture read from rich text (its bytes are kept).
bool isKeptPicture(const QTextFormat& format);

// Appends the {\pict ...} group of an image of the document: a picture that was read is written
// with the control words and bytes it came with; any other image as PNG. Nothing is written
// for an image whose picture the document does not hold.
void writePicture(QByteArray& out, const QTextImageFormat& format, const QTextDocument& document);

}  // namespace vardel::platform::rtf
