// The RTF reader: groups, destinations, code pages, the rich-edit model and the text of tables,
// fields and lists, into a QTextDocument. Lenient and bounded: bad data is skipped, never fatal.
#include "platform/richedit/codepage.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/layout_limit.h"
#include "platform/richedit/rtf.h"
#include "platform/richedit/rtf_lexer.h"
#include "platform/richedit/rtf_picture.h"
#include "platform/richedit/rtf_tables.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vardel::platform::rtf {

using namespace richtext;

bool looksLikeRtf(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  qsizetype i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
  return bytes.sliced(i).startsWith("{\\rtf");
}

namespace {

// Where the text of a group goes.
enum class Dest : uint8_t {
  Text,          // the document
  Skip,          // nowhere (and nested groups are skipped whole)
  FontTable,     // font names
  ColorTable,    // colour entries
  ListText,      // the text of a list number or bullet (\pntext, \listtext)
  Pn,            // old-style list properties
  ListTable,     // \listtable
  ListOverride,  // \listoverridetable
  Upr,           // \upr: ANSI text beside its Unicode twin (\ud); only \ud is read
  Picture,       // \pict: control words and data of a picture
};

struct CharState {
  int font = -1;  // index in the font table; -1 the default font
  int halfPoints = 24;
  int color = -1;  // index in the colour table; -1 the automatic colour
  bool bold = false, italic = false, underline = false, strike = false, hidden = false;
  bool operator==(const CharState&) const = default;
};

enum class ListKind : uint8_t { None, Bullet, Numbered };

struct ParaState {
  int fi = 0, li = 0, ri = 0;  // twips, RTF's meaning
  Qt::Alignment align = Qt::AlignLeft;
  ListKind pn = ListKind::None;
  int ls = 0;
  bool operator==(const ParaState&) const = default;
};

struct Group {
  CharState chars;
  ParaState para;
  Dest dest = Dest::Text;
  int uc = 1;               // characters to skip after \uN
  bool star = false;        // the group began with \*
  Dest outer = Dest::Text;  // for Dest::Upr: where the text around it goes
};

int clampInt(long long v, int lo, int hi) { return int(std::clamp<long long>(v, lo, hi)); }

class Reader : Scanner {
 public:
  Reader(QByteArrayView in, QTextCursor& cursor, LayoutBudget* budget) : Scanner(in), cursor_(cursor), budget_(budget) {
    doc_ = cursor.document();
    stack_.reserve(64);
  }

  ReadResult run() {
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

 private:
  Group& top() { return stack_.empty() ? root_ : stack_.back(); }

  void openGroup() {
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

  void closeGroup() {
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
        if (parent.dest != Dest::FontTable) tables_.commitFont();
        break;
      case Dest::Pn:
        // Old-style list properties belong to the paragraph, not to their group.
        if (parent.dest != Dest::Pn && closed.para.pn != ListKind::None) parent.para.pn = closed.para.pn;
        break;
      default:
        break;
    }
  }

  void controlWord() {
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

  void controlSymbol(char c) {
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

  void toSkip(Group& g) {
    flushBytes();
    g.dest = Dest::Skip;
    skipToGroupEnd();
  }

  void handle(const Keyword& k, const Word& w, Group& g) {
    const long long v = w.value;
    const bool on = !w.hasValue || v != 0;
    switch (k.kind) {
      case Kw::DestSkip:
        toSkip(g);
        return;
      case Kw::DestUnkept:
        // An embedded object or a drawing: nothing of it is kept, which saving must say.
        result_.unkeptElements = true;
        toSkip(g);
        return;
      case Kw::DestPict:
        if (g.dest != Dest::Text || pict_) {
          toSkip(g);  // a picture in a font name, a list number or another picture
          return;
        }
        flushBytes();
        g.dest = Dest::Picture;
        pict_.emplace();
        pictDepth_ = stack_.size();
        return;
      case Kw::DestShpPict:
        return;  // the picture inside is read; its twin for older readers (\nonshppict) is not
      case Kw::DestFontTable:
        flushBytes();
        g.dest = Dest::FontTable;
        return;
      case Kw::DestColorTable:
        flushBytes();
        g.dest = Dest::ColorTable;
        tables_.beginColors();
        return;
      case Kw::DestListText:
        if (g.dest == Dest::Text) {
          flushBytes();
          g.dest = Dest::ListText;
          listText_.clear();
          listTextSeen_ = true;
        } else {
          toSkip(g);
        }
        return;
      case Kw::DestPn:
        flushBytes();
        g.dest = Dest::Pn;
        g.para.pn = ListKind::Numbered;
        return;
      case Kw::DestListTable:
        g.dest = Dest::ListTable;
        return;
      case Kw::DestListOverrideTable:
        g.dest = Dest::ListOverride;
        return;
      case Kw::DestUpr:
        flushBytes();
        g.outer = g.dest;
        g.dest = Dest::Upr;
        return;
      case Kw::DestUd:
        return;  // read as the text around its \upr
      case Kw::DestFieldResult:
      case Kw::DestField:
        return;  // a field shows its result
      case Kw::Rtf:
      case Kw::Ansi:
        return;
      case Kw::Mac:
        docCodePage_ = 10000;
        return;
      case Kw::Pc:
        docCodePage_ = 437;
        return;
      case Kw::Pca:
        docCodePage_ = 850;
        return;
      case Kw::AnsiCpg:
        if (v > 0 && v < 65536) docCodePage_ = int(v);
        return;
      case Kw::Deff:
        defaultFont_ = clampInt(v, 0, 1 << 20);
        return;
      case Kw::Uc:
        g.uc = clampInt(v, 0, 16);
        return;
      case Kw::U: {
        skip_ = 0;
        // A signed 16-bit number: -1..-32768 stand for 0xFFFF..0x8000. Some writers give
        // code points beyond 0xFFFF as they are.
        const long long u = v < 0 ? v + 65536 : v;
        if (u >= 0 && u <= 0xFFFF) {
          addChar(char16_t(u));
        } else if (u <= 0x10FFFF) {
          const char32_t cp = char32_t(u);
          addText(QString::fromUcs4(&cp, 1));
        } else {
          addChar(0xFFFD);
        }
        skip_ = g.uc;
        return;
      }
      case Kw::Bin:
        if (g.dest == Dest::Picture && inPictureGroup() && v > 0) {
          const qsizetype n = qsizetype(std::min<long long>(v, in_.size() - pos_));
          pict_->binary(in_.sliced(pos_, n));
          pos_ += n;
        } else {
          skipBinary(v);
        }
        return;
      case Kw::F:
        if (g.dest == Dest::FontTable) {
          tables_.beginFont(clampInt(v, 0, 1 << 20));
        } else {
          setChars(g, [&](CharState& s) { s.font = clampInt(v, 0, 1 << 20); });
        }
        return;
      case Kw::FCharset:
        if (g.dest == Dest::FontTable) {
          tables_.pendingFont().charset = clampInt(v, 0, 255);
          tables_.pendingFont().charsetGiven = true;
        }
        return;
      case Kw::FPrq:
        if (g.dest == Dest::FontTable) tables_.pendingFont().pitch = clampInt(v, 0, 2);
        return;
      case Kw::Cpg:
        if (g.dest == Dest::FontTable && v > 0 && v < 65536) tables_.pendingFont().codePage = int(v);
        return;
      case Kw::Red:
      case Kw::Green:
      case Kw::Blue:
        if (g.dest == Dest::ColorTable) {
          tables_.setComponent(k.kind == Kw::Red ? 'r' : k.kind == Kw::Green ? 'g' : 'b', clampInt(v, 0, 255));
        }
        return;
      case Kw::Plain:
        setChars(g, [&](CharState& s) { s = CharState{}; });
        return;
      case Kw::Fs:
        setChars(g, [&](CharState& s) { s.halfPoints = w.hasValue ? clampInt(v, 1, kMaxFontHalfPoints) : 24; });
        return;
      case Kw::B:
        setChars(g, [&](CharState& s) { s.bold = on; });
        return;
      case Kw::I:
        setChars(g, [&](CharState& s) { s.italic = on; });
        return;
      case Kw::Ul:
        setChars(g, [&](CharState& s) { s.underline = on; });
        return;
      case Kw::UlNone:
        setChars(g, [&](CharState& s) { s.underline = false; });
        return;
      case Kw::Strike:
        setChars(g, [&](CharState& s) { s.strike = on; });
        return;
      case Kw::Cf:
        setChars(g, [&](CharState& s) { s.color = clampInt(v, 0, 1 << 20); });
        return;
      case Kw::V:
        setChars(g, [&](CharState& s) { s.hidden = on; });
        return;
      case Kw::Pard:
        if (g.dest == Dest::Text) g.para = ParaState{};
        return;
      case Kw::Fi:
        g.para.fi = clampIndent(v);
        return;
      case Kw::Li:
        g.para.li = clampIndent(v);
        return;
      case Kw::Ri:
        g.para.ri = clampIndent(v);
        return;
      case Kw::Ql:
        g.para.align = Qt::AlignLeft;
        return;
      case Kw::Qr:
        g.para.align = Qt::AlignRight;
        return;
      case Kw::Qc:
        g.para.align = Qt::AlignHCenter;
        return;
      case Kw::Qj:
        g.para.align = Qt::AlignJustify;
        return;
      case Kw::Ls:
        if (g.dest == Dest::ListOverride) {
          tables_.overrideNumber(clampInt(v, 0, 1 << 20));
        } else if (g.dest == Dest::Text || g.dest == Dest::ListText) {
          g.para.ls = clampInt(v, 0, 1 << 20);
        }
        return;
      case Kw::PnLvlBlt:
        if (g.dest == Dest::Pn) g.para.pn = ListKind::Bullet;
        return;
      case Kw::PnLvlNumbered:
        if (g.dest == Dest::Pn) g.para.pn = ListKind::Numbered;
        return;
      case Kw::List:
        if (g.dest == Dest::ListTable) {
          tables_.beginList();
        }
        return;
      case Kw::ListId:
        if (g.dest == Dest::ListTable) {
          tables_.listId(v);
        } else if (g.dest == Dest::ListOverride) {
          tables_.overrideListId(v);
        }
        return;
      case Kw::ListOverride:
        if (g.dest == Dest::ListOverride) {
          tables_.beginOverride();
        }
        return;
      case Kw::ListLevel:
        if (g.dest == Dest::ListTable) tables_.listLevel();
        return;
      case Kw::LevelNfc:
        if (g.dest == Dest::ListTable) tables_.levelNumberFormat(clampInt(v, 0, 255));
        return;
      case Kw::Par:
        if (g.dest == Dest::Text) paragraphEnd();
        return;
      case Kw::Line:
        addChar(QChar::LineSeparator);
        return;
      case Kw::Tab:
        addChar(u'\t');
        return;
      case Kw::Cell:
        if (g.dest == Dest::Text) {
          flushBytes();
          cellPending_ = true;
        }
        return;
      case Kw::Row:
        if (g.dest == Dest::Text) {
          cellPending_ = false;
          paragraphEnd();
        }
        return;
      case Kw::Char:
        addChar(k.ch);
        return;
    }
  }

  template <typename Change>
  void setChars(Group& g, Change change) {
    CharState next = g.chars;
    change(next);
    if (next == g.chars) return;
    flushBytes();
    g.chars = next;
  }

  // ---- text ----

  int codePage() {
    const Group& g = top();
    const Font* f = g.dest == Dest::FontTable ? &tables_.pendingFont()
                                              : tables_.font(g.chars.font < 0 ? defaultFont_ : g.chars.font);
    if (f) {
      if (f->codePage) return f->codePage;
      if (!f->charsetGiven) return docCodePage_;
      if (const int cp = codePageOfCharset(f->charset)) return cp;
    }
    return docCodePage_;
  }

  bool inPictureGroup() const { return pict_ && stack_.size() == pictDepth_; }

  void finishPicture() {
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

  void addByte(char c) {
    const Dest d = top().dest;
    if (d == Dest::Picture) {
      if (inPictureGroup())
        if (const int digit = hexValue(c); digit >= 0) pict_->hexDigit(digit);
      return;
    }
    if (d == Dest::ColorTable) {
      if (c == ';') tables_.commitColor();
      return;
    }
    if (d != Dest::Text && d != Dest::FontTable && d != Dest::ListText) return;
    if (d == Dest::FontTable && c == ';') {
      flushBytes();
      tables_.commitFont();
      return;
    }
    if (bytes_.isEmpty()) bytesCodePage_ = codePage();
    bytes_.append(c);
  }

  void addChar(char16_t ch) {
    flushBytes();
    if (ch == 0) return;  // "\u" without a number, "\u0": no text holds a NUL
    QString* target = textTarget();
    if (target) target->append(QChar(ch));
  }

  // Where decoded text of the current group goes; nullptr for nowhere.
  QString* textTarget() {
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

  void addText(const QString& text) {
    flushBytes();
    if (QString* target = textTarget()) target->append(text);
  }

  void flushBytes() {
    if (bytes_.isEmpty()) return;
    QString decoded;
    appendDecoded(decoded, bytes_, bytesCodePage_);
    bytes_.clear();
    decoded.remove(QChar(0));  // "\'00"
    if (QString* target = textTarget()) target->append(decoded);
  }

  struct Run {
    CharState chars;
    QString text;
    std::optional<QTextImageFormat> picture;  // a picture instead of text
  };

  QString& run(const CharState& chars) {
    if (runs_.empty() || !(runs_.back().chars == chars) || runs_.back().picture) {
      // A paragraph the control cannot take is given up as it grows, not once it has all been
      // read: one of many megabytes of runs would take most of a minute to read first.
      if (!runs_.empty()) pendingCharacters_ += runs_.back().text.size();
      if (budget_ && runs_.size() % 1024 == 1023 && budget_->wouldExceed(pendingCharacters_)) result_.tooLong = true;
      runs_.push_back({chars, {}, {}});
    }
    return runs_.back().text;
  }

  QTextCharFormat formatOf(const CharState& s) {
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

  bool isBullet(const ParaState& p) const {
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

  void paragraphEnd() {
    flushBytes();
    cellPending_ = false;
    emitParagraph(top().para, top().chars);
  }

  void emitParagraph(const ParaState& para, const CharState& mark) {
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
    applyIndents(block,
                 {clampIndent(static_cast<long long>(para.li) + para.fi), clampIndent(-static_cast<long long>(para.fi)),
                  para.ri},
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

  void endOfDocument() {
    flushBytes();
    const bool pending =
        std::any_of(runs_.begin(), runs_.end(), [](const Run& r) { return !r.text.isEmpty() || r.picture; });
    // The last \par ends the last paragraph; nothing after it makes no paragraph of its own.
    if (pending || (listTextSeen_ && !listText_.isEmpty())) emitParagraph(top().para, top().chars);
  }

  // The reader stops adding text at this size; the control refuses more anyway.
  static constexpr qsizetype kMaxTextCharacters = 64 * 1024 * 1024;

  QTextCursor& cursor_;
  LayoutBudget* budget_;
  QTextDocument* doc_;
  Group root_;
  std::vector<Group> stack_;
  int overflow_ = 0;  // groups opened beyond kMaxDepth
  int skip_ = 0;      // fallback characters still to skip after \uN

  int docCodePage_ = 1252;
  int defaultFont_ = 0;
  Tables tables_;

  QByteArray bytes_;
  int bytesCodePage_ = 1252;
  std::vector<Run> runs_;
  qsizetype pendingCharacters_ = 0;  // in the runs before the last one
  QString listText_;
  bool listTextSeen_ = false;
  bool cellPending_ = false;
  bool firstBlock_ = true;
  QTextList* list_ = nullptr;

  std::optional<PictureReader> pict_;
  size_t pictDepth_ = 0;  // the depth of the \pict group's own level
  // Bytes of decoded pictures the document may still take; later pictures show placeholders.
  qint64 pixelBudget_ = kMaxPictureBytes;
  ReadResult result_;
};

}  // namespace

ReadResult read(QByteArrayView bytes, QTextCursor& cursor, LayoutBudget* budget) {
  return Reader(bytes, cursor, budget).run();
}

}  // namespace vardel::platform::rtf
