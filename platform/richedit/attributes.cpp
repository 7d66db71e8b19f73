// TTextAttributes and TParaAttributes: the character and paragraph attribute sets of TRichEdit.
#include "platform/richedit/format_properties.h"
#include "platform/richedit/richedit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace vardel::platform {

using namespace richtext;

// ---- character attributes ----

namespace {

// The selection's format at its start: that of the first selected character, or with nothing
// selected what typing at the caret would use.
QTextCharFormat selectionFormat(const TRichEdit* control) {
  QTextCursor cursor = control->textCursor();
  if (!cursor.hasSelection()) return control->currentCharFormat();
  QTextCursor first(control->document());
  first.setPosition(cursor.selectionStart() + 1);
  return first.charFormat();
}

RichFontStyles stylesOf(const QFont& font) {
  RichFontStyles styles = 0;
  if (font.weight() >= QFont::DemiBold) styles |= rfsBold;
  if (font.italic()) styles |= rfsItalic;
  if (font.underline()) styles |= rfsUnderline;
  if (font.strikeOut()) styles |= rfsStrikeOut;
  return styles;
}

FontPitch pitchFromProperty(int value) {
  return value == 1 ? FontPitch::fpFixed : value == 2 ? FontPitch::fpVariable : FontPitch::fpDefault;
}

int pitchProperty(FontPitch pitch) { return pitch == FontPitch::fpFixed ? 1 : pitch == FontPitch::fpVariable ? 2 : 0; }

}  // namespace

// The default set lives in the document's default font, the palette's text colour and the
// control's default character format (character set, pitch); the selection set in the
// character formats of the text.
struct TextAttributeAccess {
  static QFont resolvedFont(const TRichEdit* c, TTextAttributes::Kind kind) {
    const QFont base = c->document()->defaultFont();
    if (kind == TTextAttributes::Kind::Default) return base;
    QFont font = selectionFormat(c).font().resolve(base);
    return font;
  }

  static void change(TRichEdit* c, TTextAttributes::Kind kind, const QTextCharFormat& delta) {
    if (kind == TTextAttributes::Kind::Selection) {
      c->mergeCurrentCharFormat(delta);
      return;
    }
    QFont font = c->document()->defaultFont();
    if (delta.hasProperty(QTextFormat::FontFamilies)) font.setFamilies(delta.fontFamilies().toStringList());
    if (delta.hasProperty(QTextFormat::FontPointSize)) font.setPointSizeF(delta.fontPointSize());
    if (delta.hasProperty(QTextFormat::FontWeight)) font.setWeight(QFont::Weight(delta.fontWeight()));
    if (delta.hasProperty(QTextFormat::FontItalic)) font.setItalic(delta.fontItalic());
    if (delta.hasProperty(QTextFormat::TextUnderlineStyle)) font.setUnderline(delta.fontUnderline());
    if (delta.hasProperty(QTextFormat::FontStrikeOut)) font.setStrikeOut(delta.fontStrikeOut());
    if (delta.hasProperty(QTextFormat::FontFixedPitch)) font.setFixedPitch(delta.fontFixedPitch());
    if (delta.hasProperty(QTextFormat::ForegroundBrush)) {
      QPalette palette = c->palette();
      palette.setColor(QPalette::Text, delta.foreground().color());
      c->setPalette(palette);
    }
    if (delta.hasProperty(kCharset)) c->defaultFormat_.setProperty(kCharset, delta.property(kCharset));
    if (delta.hasProperty(kPitch)) c->defaultFormat_.setProperty(kPitch, delta.property(kPitch));
    // The widget's font is the document's default font (QTextEdit keeps the two together).
    c->setFont(font);
  }

  static const QTextCharFormat& defaults(const TRichEdit* c) { return c->defaultFormat_; }

  static QTextCharFormat format(const TRichEdit* c, TTextAttributes::Kind kind) {
    return kind == TTextAttributes::Kind::Default ? defaults(c) : selectionFormat(c);
  }
};

QString TTextAttributes::name() const {
  return familyName(TextAttributeAccess::resolvedFont(control_, kind_).family());
}

void TTextAttributes::setName(const QString& face) {
  QTextCharFormat delta;
  delta.setFontFamilies(QStringList{familyName(face)});
  TextAttributeAccess::change(control_, kind_, delta);
}

int TTextAttributes::size() const {
  const QTextCharFormat format = TextAttributeAccess::format(control_, kind_);
  const double points = kind_ == Kind::Selection && format.hasProperty(QTextFormat::FontPointSize)
                            ? format.fontPointSize()
                            : pointSizeOf(TextAttributeAccess::resolvedFont(control_, kind_));
  // Kept in twips, read in whole points, truncating.
  return int(std::lround(points * 20.0) / 20);
}

void TTextAttributes::setSize(int points) {
  QTextCharFormat delta;
  delta.setFontPointSize(std::clamp(points, 1, kMaxFontHalfPoints / 2));
  TextAttributeAccess::change(control_, kind_, delta);
}

RichFontStyles TTextAttributes::style() const { return stylesOf(TextAttributeAccess::resolvedFont(control_, kind_)); }

void TTextAttributes::setStyle(RichFontStyles style) {
  QTextCharFormat delta;
  delta.setFontWeight((style & rfsBold) ? QFont::Bold : QFont::Normal);
  delta.setFontItalic(style & rfsItalic);
  delta.setFontUnderline(style & rfsUnderline);
  delta.setFontStrikeOut(style & rfsStrikeOut);
  TextAttributeAccess::change(control_, kind_, delta);
}

QColor TTextAttributes::color() const {
  const QTextCharFormat format = TextAttributeAccess::format(control_, kind_);
  if (kind_ == Kind::Selection && format.hasProperty(QTextFormat::ForegroundBrush)) return format.foreground().color();
  return control_->palette().color(QPalette::Text);
}

void TTextAttributes::setColor(const QColor& color) {
  QTextCharFormat delta;
  delta.setForeground(color);
  TextAttributeAccess::change(control_, kind_, delta);
}

int TTextAttributes::charset() const {
  const QTextCharFormat format = TextAttributeAccess::format(control_, kind_);
  if (format.hasProperty(kCharset)) return format.intProperty(kCharset);
  return TextAttributeAccess::defaults(control_).hasProperty(kCharset)
             ? TextAttributeAccess::defaults(control_).intProperty(kCharset)
             : 1;
}

void TTextAttributes::setCharset(int charset) {
  QTextCharFormat delta;
  delta.setProperty(kCharset, std::clamp(charset, 0, 255));
  TextAttributeAccess::change(control_, kind_, delta);
}

FontPitch TTextAttributes::pitch() const {
  const QTextCharFormat format = TextAttributeAccess::format(control_, kind_);
  if (format.hasProperty(kPitch)) return pitchFromProperty(format.intProperty(kPitch));
  return pitchFromProperty(TextAttributeAccess::defaults(control_).intProperty(kPitch));
}

void TTextAttributes::setPitch(FontPitch pitch) {
  QTextCharFormat delta;
  delta.setProperty(kPitch, pitchProperty(pitch));
  delta.setFontFixedPitch(pitch == FontPitch::fpFixed);
  TextAttributeAccess::change(control_, kind_, delta);
}

void TTextAttributes::assign(const QFont& font, const QColor& color, int charset) {
  QTextCharFormat delta;
  delta.setFontFamilies(QStringList{familyName(font.family())});
  delta.setFontPointSize(std::clamp(pointSizeOf(font), 1.0, kMaxFontHalfPoints / 2.0));
  delta.setFontWeight(font.weight() >= QFont::DemiBold ? QFont::Bold : QFont::Normal);
  delta.setFontItalic(font.italic());
  delta.setFontUnderline(font.underline());
  delta.setFontStrikeOut(font.strikeOut());
  delta.setForeground(color);
  delta.setProperty(kCharset, std::clamp(charset, 0, 255));
  delta.setProperty(kPitch, pitchProperty(font.fixedPitch() ? FontPitch::fpFixed : FontPitch::fpDefault));
  delta.setFontFixedPitch(font.fixedPitch());
  TextAttributeAccess::change(control_, kind_, delta);
}

// ---- paragraph attributes ----

namespace {

QTextBlock currentBlock(const TRichEdit* control) {
  return control->document()->findBlock(control->textCursor().selectionStart());
}

// Runs `edit` on every paragraph the selection touches, as one undo step.
template <typename Edit>
void forEachSelectedParagraph(TRichEdit* control, Edit edit) {
  const QTextCursor selection = control->textCursor();
  QTextDocument* document = control->document();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  const int lastBlock = document->findBlock(selection.selectionEnd()).blockNumber();
  for (QTextBlock block = document->findBlock(selection.selectionStart());
       block.isValid() && block.blockNumber() <= lastBlock; block = block.next()) {
    edit(document, block);
  }
  cursor.endEditBlock();
}

void changeIndents(TRichEdit* control, void (*change)(Indents&, int), int twips) {
  forEachSelectedParagraph(control, [&](QTextDocument* document, const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    Indents indents = indentsOf(format);
    change(indents, twips);
    applyIndents(format, indents, isBulleted(block));
    QTextCursor cursor(document);
    cursor.setPosition(block.position());
    cursor.setBlockFormat(format);
  });
}

int pointsToTwips(int points) { return clampIndent(static_cast<long long>(points) * 20); }

}  // namespace

int TParaAttributes::firstIndent() const { return indentsOf(currentBlock(control_).blockFormat()).first / 20; }
int TParaAttributes::leftIndent() const { return indentsOf(currentBlock(control_).blockFormat()).left / 20; }
int TParaAttributes::rightIndent() const { return indentsOf(currentBlock(control_).blockFormat()).right / 20; }

void TParaAttributes::setFirstIndent(int points) {
  changeIndents(
      control_, [](Indents& i, int twips) { i.first = twips; }, pointsToTwips(points));
}
void TParaAttributes::setLeftIndent(int points) {
  changeIndents(
      control_, [](Indents& i, int twips) { i.left = twips; }, pointsToTwips(points));
}
void TParaAttributes::setRightIndent(int points) {
  changeIndents(
      control_, [](Indents& i, int twips) { i.right = twips; }, pointsToTwips(points));
}

int TParaAttributes::alignment() const {
  const Qt::Alignment a = currentBlock(control_).blockFormat().alignment();
  if (a & Qt::AlignRight) return 1;
  if (a & Qt::AlignHCenter) return 2;
  return 0;
}

void TParaAttributes::setAlignment(int alignment) {
  const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  forEachSelectedParagraph(control_, [&](QTextDocument* document, const QTextBlock& block) {
    QTextBlockFormat format;
    format.setAlignment(a);
    QTextCursor cursor(document);
    cursor.setPosition(block.position());
    cursor.mergeBlockFormat(format);
  });
}

bool TParaAttributes::bullets() const { return isBulleted(currentBlock(control_)); }

void TParaAttributes::setBullets(bool on) {
  forEachSelectedParagraph(control_, [&](QTextDocument* document, const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    Indents indents = indentsOf(format);
    if (on)
      indents.left = std::max(indents.left, 200);
    else
      indents.left = 0;
    applyIndents(format, indents, isBulleted(block));
    QTextCursor cursor(document);
    cursor.setPosition(block.position());
    cursor.setBlockFormat(format);
    setBulleted(document, document->findBlock(block.position()), on);
  });
}

}  // namespace vardel::platform
