// The RTF reader: groups, destinations, code pages, the rich-edit model and the text of tables,
// fields and lists, into a QTextDocument. Lenient and bounded: bad data is skipped, never fatal.
#include "platform/richedit/rtf_reader_state.h"

#include <QTextBlock>

namespace vardel::platform::rtf {

bool looksLikeRtf(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  qsizetype i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
  return bytes.sliced(i).startsWith("{\\rtf");
}

namespace reading {

Reader::Reader(QByteArrayView in, QTextCursor& cursor, LayoutBudget* budget)
    : Scanner(in), cursor_(cursor), budget_(budget) {
  doc_ = cursor.document();
  stack_.reserve(64);
}

ReadResult Reader::run() {
  cursor_.beginEditBlock();
  firstBlock_ = true;
  bool started = false;
  while (pos_ < in_.size() && !result_.tooLong) {
    const char c = in_[pos_];
    if (c == '{') {
      ++pos_;
      openGroup();
      started = true;
    } else if (c == '}') {
      ++pos_;
      if (!started) continue;
      if (stack_.size() == 1 && overflow_ == 0) break;  // the document's group is closed
      closeGroup();
    } else if (c == '\\') {
      controlWord();
    } else {
      ++pos_;
      if (!started) continue;
      if (c == '\r' || c == '\n') continue;
      if (skip_ > 0) {
        --skip_;
        continue;
      }
      if (c == '\t') {
        addChar(u'\t');
      } else if (static_cast<unsigned char>(c) >= 0x20) {
        addByte(c);
      }
    }
  }
  if (pict_) result_.unkeptElements = true;  // a picture cut short with the file
  if (!result_.tooLong) endOfDocument();
  cursor_.endEditBlock();
  return result_;
}

void Reader::openGroup() {
  skip_ = 0;
  if (int(stack_.size()) >= kMaxDepth) {
    ++overflow_;
    return;
  }
  Group g = top();
  g.star = false;
  if (g.dest == Dest::Upr) {
    // Of the ANSI text and its Unicode twin {\*\ud ...} only the twin is read.
    g.dest = in_.sliced(pos_).startsWith("\\*\\ud") && pos_ + 5 < in_.size() && !isLetter(in_[pos_ + 5]) ? g.outer
                                                                                                         : Dest::Skip;
  }
  flushBytes();
  stack_.push_back(g);
  if (g.dest == Dest::Skip) skipToGroupEnd();
}

void Reader::closeGroup() {
  skip_ = 0;
  if (overflow_ > 0) {
    --overflow_;
    return;
  }
  if (stack_.empty()) return;
  flushBytes();
  const Group closed = stack_.back();
  stack_.pop_back();
  if (closed.dest == Dest::Picture && pict_ && stack_.size() + 1 == pictDepth_) finishPicture();
  Group& parent = top();
  switch (closed.dest) {
    case Dest::FontTable:
      if (parent.dest != Dest::FontTable) {
        tables_.commitFont();
        tablesChanged();
      }
      break;
    case Dest::Pn:
      // Old-style list properties belong to the paragraph, not to their group.
      if (parent.dest != Dest::Pn && closed.para.pn != ListKind::None) parent.para.pn = closed.para.pn;
      break;
    default:
      break;
  }
}

void Reader::controlWord() {
  if (pos_ + 1 >= in_.size()) {
    ++pos_;
    return;
  }
  const char n = in_[pos_ + 1];
  const bool letter = (n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z');
  if (!letter) {
    pos_ += 2;
    controlSymbol(n);
    return;
  }
  const Word w = readWord();
  if (stack_.empty() && overflow_ == 0) return;  // outside the document's group
  if (skip_ > 0 && w.name != "bin") {
    --skip_;
    return;
  }
  Group& g = top();
  if (g.dest == Dest::Picture && inPictureGroup() && pict_->word(w.name, w.value, w.hasValue)) {
    g.star = false;
    return;
  }
  const Keyword* found = findKeyword(w.name);
  if (!found) {
    if (g.star) toSkip(g);  // an ignorable destination we do not know
    return;
  }
  g.star = false;
  handle(*found, w, g);
}

void Reader::controlSymbol(char c) {
  if (stack_.empty()) return;
  Group& g = top();
  if (c == '*') {
    g.star = true;
    return;
  }
  if (c == '\'') {
    // \'hh: a byte in the current code page; a bad digit leaves the byte out.
    const int hi = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
    const int lo = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
    if (hi < 0 || lo < 0) {
      pos_ = std::min(pos_ + 2, in_.size());
      return;
    }
    pos_ += 2;
    if (skip_ > 0) {
      --skip_;
      return;
    }
    addByte(char(hi * 16 + lo));
    return;
  }
  if (skip_ > 0) {
    --skip_;
    return;
  }
  switch (c) {
    case '\\':
    case '{':
    case '}':
      addByte(c);
      break;
    case '~':
      addChar(0x00A0);
      break;
    case '-':
      addChar(0x00AD);
      break;
    case '_':
      addChar(0x2011);
      break;
    case '\r':
    case '\n':
      paragraphEnd();
      break;
    case '\t':
      addChar(u'\t');
      break;
    default:
      break;  // \| \: and the like
  }
}

void Reader::toSkip(Group& g) {
  flushBytes();
  g.dest = Dest::Skip;
  skipToGroupEnd();
}

int Reader::codePage() {
  const Group& g = top();
  const Font* f =
      g.dest == Dest::FontTable ? &tables_.pendingFont() : tables_.font(g.chars.font < 0 ? defaultFont_ : g.chars.font);
  if (f) {
    if (f->codePage) return f->codePage;
    if (!f->charsetGiven) return docCodePage_;
    if (const int cp = codePageOfCharset(f->charset)) return cp;
  }
  return docCodePage_;
}

void Reader::finishPicture() {
  PictureReader picture = std::move(*pict_);
  pict_.reset();
  const Group& g = top();
  if (!picture.keepable()) {
    result_.unkeptElements = true;  // a picture of a kind we cannot name cannot be written back
    return;
  }
  if (g.dest != Dest::Text || g.chars.hidden) return;
  textTarget();  // a cell that ended before the picture puts its tab first
  runs_.push_back(Run{g.chars, {}, picture.finish(doc_, pixelBudget_)});
}

void Reader::addByte(char c) {
  const Dest d = top().dest;
  if (d == Dest::Picture) {
    if (inPictureGroup())
      if (const int digit = hexValue(c); digit >= 0) pict_->hexDigit(digit);
    return;
  }
  if (d == Dest::ColorTable) {
    if (c == ';') {
      tables_.commitColor();
      tablesChanged();
    }
    return;
  }
  if (d != Dest::Text && d != Dest::FontTable && d != Dest::ListText) return;
  if (d == Dest::FontTable && c == ';') {
    flushBytes();
    tables_.commitFont();
    tablesChanged();
    return;
  }
  if (bytes_.isEmpty()) bytesCodePage_ = codePage();
  bytes_.append(c);
}

void Reader::addChar(char16_t ch) {
  flushBytes();
  if (ch == 0) return;  // "\u" without a number, "\u0": no text holds a NUL
  QString* target = textTarget();
  if (target) target->append(QChar(ch));
}

QString* Reader::textTarget() {
  Group& g = top();
  switch (g.dest) {
    case Dest::Text: {
      if (g.chars.hidden) return nullptr;
      if (cellPending_) {
        cellPending_ = false;
        run(g.chars).append(QChar(u'\t'));
      }
      return &run(g.chars);
    }
    case Dest::FontTable:
      return &tables_.pendingFont().name;
    case Dest::ListText:
      return &listText_;
    default:
      return nullptr;
  }
}

void Reader::addText(const QString& text) {
  flushBytes();
  if (QString* target = textTarget()) target->append(text);
}

void Reader::flushBytes() {
  if (bytes_.isEmpty()) return;
  // Decoded straight into its place: most runs are a few characters.
  if (QString* target = textTarget()) {
    const qsizetype from = target->size();
    appendDecoded(*target, bytes_, bytesCodePage_);
    QChar* const text = target->data();
    target->truncate(std::remove(text + from, text + target->size(), QChar(0)) - text);  // "\'00"
  }
  bytes_.clear();
}

QString& Reader::run(const CharState& chars) {
  if (runs_.empty() || !(runs_.back().chars == chars) || runs_.back().picture) {
    // A paragraph the control cannot take is given up as it grows, not once it has all been
    // read: one of many megabytes of runs would take most of a minute to read first.
    if (!runs_.empty()) pendingCharacters_ += runs_.back().text.size();
    if (budget_ && runs_.size() % 1024 == 1023 && budget_->wouldExceed(pendingCharacters_)) result_.tooLong = true;
    runs_.push_back({chars, {}, {}});
  }
  return runs_.back().text;
}

const QTextCharFormat& Reader::formatOf(const CharState& s) {
  auto found = formats_.find(s);
  if (found == formats_.end()) found = formats_.emplace(s, makeFormat(s)).first;
  return found->second;
}

QTextCharFormat Reader::makeFormat(const CharState& s) const {
  QTextCharFormat f;
  const int index = s.font < 0 ? defaultFont_ : s.font;
  if (const Font* font = tables_.font(index)) {
    if (!font->name.isEmpty()) f.setFontFamilies(QStringList{font->name});
    f.setProperty(kCharset, font->charset);
    if (font->pitch) f.setProperty(kPitch, font->pitch == 1 ? 1 : 2);
    if (font->pitch == 1) f.setFontFixedPitch(true);
  }
  f.setFontPointSize(s.halfPoints / 2.0);
  f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(s.italic);
  f.setFontUnderline(s.underline);
  f.setFontStrikeOut(s.strike);
  if (const QColor c = tables_.color(s.color); c.isValid()) f.setForeground(c);
  return f;
}

bool Reader::isBullet(const ParaState& p) const {
  if (p.pn == ListKind::Bullet) return true;
  if (p.pn == ListKind::Numbered) return false;
  if (p.ls > 0) {
    if (const int known = tables_.isBulletList(p.ls); known >= 0) return known == 1;
    // No list table: judge by the text readers without lists would show.
    const QString t = listText_.trimmed();
    return t.size() == 1 && !t[0].isLetterOrNumber();
  }
  return false;
}

void Reader::paragraphEnd() {
  flushBytes();
  cellPending_ = false;
  emitParagraph(top().para, top().chars);
}

void Reader::emitParagraph(const ParaState& para, const CharState& mark) {
  const bool bullet = isBullet(para);
  // Writers that leave the number out (blanks and a tab) leave nothing worth keeping.
  if (listTextSeen_ && !bullet && !listText_.trimmed().isEmpty()) {
    // A number, or a list we cannot show as bullets: kept as text.
    runs_.insert(runs_.begin(), Run{mark, listText_, {}});
  }
  listText_.clear();
  listTextSeen_ = false;

  QTextBlockFormat block;
  block.setAlignment(para.align);
  // RTF to the rich-edit model: the first line at \li + \fi, the following lines \fi after.
  applyIndents(
      block,
      {clampIndent(static_cast<long long>(para.li) + para.fi), clampIndent(-static_cast<long long>(para.fi)), para.ri},
      bullet);
  const QTextCharFormat markFormat = formatOf(mark);
  if (firstBlock_) {
    cursor_.setBlockFormat(block);
    cursor_.setBlockCharFormat(markFormat);
    firstBlock_ = false;
  } else {
    cursor_.insertBlock(block, markFormat);
  }
  if (bullet) {
    if (list_)
      list_->add(cursor_.block());
    else
      list_ = cursor_.createList(bulletListFormat());
  } else {
    list_ = nullptr;
  }
  for (const Run& r : runs_) {
    if (r.picture) {
      if (doc_->characterCount() + 1 > kMaxTextCharacters) break;
      QTextCharFormat format = formatOf(r.chars);
      format.merge(*r.picture);
      cursor_.insertImage(format.toImageFormat());
      continue;
    }
    if (r.text.isEmpty()) continue;
    if (doc_->characterCount() + r.text.size() > kMaxTextCharacters) break;
    cursor_.insertText(r.text, formatOf(r.chars));
  }
  if (budget_) {
    qsizetype characters = 0;
    double points = 0, pictures = 0;
    for (const Run& r : runs_) {
      characters += r.picture ? 1 : r.text.size();
      points = std::max(points, r.chars.halfPoints / 2.0);
      if (r.picture) pictures += r.picture->height();
    }
    if (!budget_->addParagraph(characters, runs_.empty() ? mark.halfPoints / 2.0 : points, pictures))
      result_.tooLong = true;
  }
  runs_.clear();
  pendingCharacters_ = 0;
}

void Reader::endOfDocument() {
  flushBytes();
  const bool pending =
      std::any_of(runs_.begin(), runs_.end(), [](const Run& r) { return !r.text.isEmpty() || r.picture; });
  // The last \par ends the last paragraph; nothing after it makes no paragraph of its own.
  if (pending || (listTextSeen_ && !listText_.isEmpty())) emitParagraph(top().para, top().chars);
}

}  // namespace reading

ReadResult read(QByteArrayView bytes, QTextCursor& cursor, richtext::LayoutBudget* budget) {
  return reading::Reader(bytes, cursor, budget).run();
}

}  // namespace vardel::platform::rtf
