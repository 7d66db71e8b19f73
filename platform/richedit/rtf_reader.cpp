// The RTF reader: groups, destinations, code pages, the rich-edit model and the text of tables,
// fields and lists, into a QTextDocument. Lenient and bounded: bad data is skipped, never fatal.
#include "platform/richedit/codepage.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cstring>
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
  int uc = 1;  // characters to skip after \uN
  bool star = false;  // the group began with \*
  Dest outer = Dest::Text;  // for Dest::Upr: where the text around it goes
};

struct Font {
  QString name;
  int charset = 0;
  int pitch = 0;
  int codePage = 0;  // 0: the document's
};

enum class Kw : uint8_t {
  // destinations
  DestSkip, DestFontTable, DestColorTable, DestListText, DestPn, DestListTable, DestListOverrideTable,
  DestUpr, DestUd, DestFieldResult, DestField,
  // document
  Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
  // font table
  F, FCharset, FPrq, Cpg,
  // colour table
  Red, Green, Blue,
  // characters
  Plain, Fs, B, I, Ul, UlNone, Strike, Cf, V,
  // paragraphs
  Pard, Fi, Li, Ri, Ql, Qr, Qc, Qj, Ls, PnLvlBlt, PnLvlNumbered,
  // list tables
  List, ListId, ListLevel, LevelNfc, ListOverride,
  // text
  Par, Line, Tab, Cell, Row, Char,
};

struct Keyword {
  Kw kind;
  char16_t ch = 0;  // for Kw::Char
};

const std::unordered_map<std::string_view, Keyword>& keywords() {
  static const std::unordered_map<std::string_view, Keyword> table = [] {
    std::unordered_map<std::string_view, Keyword> t;
    for (const char* d :
         {"stylesheet", "info", "pict", "object", "header", "footer", "headerl", "headerr", "headerf", "footerl",
          "footerr", "footerf", "footnote", "annotation", "fldinst", "xe", "tc", "txe", "rxe", "bkmkstart", "bkmkend",
          "pntxta", "pntxtb", "revtbl", "rsidtbl", "generator", "themedata", "colorschememapping", "datastore",
          "latentstyles", "xmlnstbl", "mmathPr", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
          "template", "nonshppict", "shp", "shpinst", "shprslt", "listpicture", "fontemb", "fontfile", "falt",
          "panose", "pgdsctbl", "private", "userprops", "docvar", "objdata", "atnid", "atnauthor", "filetbl",
          "listname", "leveltext", "levelnumbers", "pnseclvl", "macpict", "wmetafile", "blipuid", "background",
          "do", "sp", "sn", "sv", "fchars", "lchars", "pgptbl", "mhtmltag", "htmltag", "wgrffmtfilter",
          "formfield", "datafield", "password", "passwordhash", "protusertbl", "oldcprops", "oldpprops",
          "oldtprops", "oldsprops", "ebcstart", "ebcend", "title", "subject", "author", "operator", "keywords",
          "comment", "doccomm", "hlinkbase", "company", "category", "manager", "creatim", "revtim", "printim",
          "buptim"})
      t.emplace(d, Keyword{Kw::DestSkip});
    t.emplace("fonttbl", Keyword{Kw::DestFontTable});
    t.emplace("colortbl", Keyword{Kw::DestColorTable});
    t.emplace("pntext", Keyword{Kw::DestListText});
    t.emplace("listtext", Keyword{Kw::DestListText});
    t.emplace("pn", Keyword{Kw::DestPn});
    t.emplace("listtable", Keyword{Kw::DestListTable});
    t.emplace("listoverridetable", Keyword{Kw::DestListOverrideTable});
    t.emplace("upr", Keyword{Kw::DestUpr});
    t.emplace("ud", Keyword{Kw::DestUd});
    t.emplace("fldrslt", Keyword{Kw::DestFieldResult});
    t.emplace("field", Keyword{Kw::DestField});
    const std::pair<const char*, Kw> plain[] = {
        {"rtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
        {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U}, {"bin", Kw::Bin},
        {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"fprq", Kw::FPrq}, {"cpg", Kw::Cpg}, {"red", Kw::Red},
        {"green", Kw::Green}, {"blue", Kw::Blue}, {"plain", Kw::Plain}, {"fs", Kw::Fs}, {"b", Kw::B},
        {"i", Kw::I}, {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldb", Kw::Ul}, {"uldash", Kw::Ul},
        {"uldashd", Kw::Ul}, {"uldashdd", Kw::Ul}, {"ulw", Kw::Ul}, {"ulwave", Kw::Ul}, {"ulth", Kw::Ul},
        {"ulhwave", Kw::Ul}, {"ululdbwave", Kw::Ul}, {"ulnone", Kw::UlNone}, {"strike", Kw::Strike},
        {"striked", Kw::Strike}, {"cf", Kw::Cf}, {"v", Kw::V}, {"pard", Kw::Pard}, {"fi", Kw::Fi},
        {"li", Kw::Li}, {"ri", Kw::Ri}, {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"qc", Kw::Qc}, {"qj", Kw::Qj},
        {"qd", Kw::Qj}, {"ls", Kw::Ls}, {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlbody", Kw::PnLvlNumbered},
        {"pnlvlcont", Kw::PnLvlNumbered}, {"pnlvl", Kw::PnLvlNumbered}, {"list", Kw::List},
        {"listid", Kw::ListId}, {"listoverride", Kw::ListOverride}, {"listlevel", Kw::ListLevel}, {"levelnfc", Kw::LevelNfc}, {"par", Kw::Par},
        {"sect", Kw::Par}, {"page", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"cell", Kw::Cell},
        {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row}};
    for (const auto& [name, kind] : plain) t.emplace(name, Keyword{kind});
    const std::pair<const char*, char16_t> symbols[] = {
        {"emdash", 0x2014}, {"endash", 0x2013},   {"emspace", 0x2003}, {"enspace", 0x2002},
        {"qmspace", 0x2005}, {"bullet", 0x2022}, {"lquote", 0x2018},  {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D}, {"zwnj", 0x200C},
        {"zwbo", 0x200B}, {"zwnbo", 0xFEFF}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
    for (const auto& [name, ch] : symbols) t.emplace(name, Keyword{Kw::Char, ch});
    return t;
  }();
  return table;
}

int clampInt(long long v, int lo, int hi) { return int(std::clamp<long long>(v, lo, hi)); }

class Reader {
 public:
  Reader(QByteArrayView in, QTextCursor& cursor) : in_(in), cursor_(cursor) {
    doc_ = cursor.document();
    stack_.reserve(64);
  }

  void run() {
    cursor_.beginEditBlock();
    firstBlock_ = true;
    bool started = false;
    while (pos_ < in_.size()) {
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
    endOfDocument();
    cursor_.endEditBlock();
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
      g.dest = in_.sliced(pos_).startsWith("\\*\\ud") && pos_ + 5 < in_.size() && !isLetter(in_[pos_ + 5])
                   ? g.outer
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
    Group& parent = top();
    switch (closed.dest) {
      case Dest::FontTable:
        if (parent.dest != Dest::FontTable) commitFont();
        break;
      case Dest::Pn:
        // Old-style list properties belong to the paragraph, not to their group.
        if (parent.dest != Dest::Pn && closed.para.pn != ListKind::None) parent.para.pn = closed.para.pn;
        break;
      default: break;
    }
  }

  // Skips to the end of the current group, with its nested groups, quickly: only braces,
  // escapes and binary data matter. Leaves the closing brace for the main loop.
  void skipToGroupEnd() {
    int depth = 1;
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == '{') {
        ++depth;
      } else if (c == '}') {
        if (--depth == 0) return;
      } else if (c == '\\' && pos_ + 1 < in_.size()) {
        if (in_[pos_ + 1] == 'b' && in_.sliced(pos_ + 1).startsWith("bin")) {
          const Word w = readWord();
          if (w.name == "bin" && w.hasValue) skipBinary(w.value);
          continue;
        }
        ++pos_;  // an escaped character, or the first letter of a word
      }
      ++pos_;
    }
  }

  struct Word {
    std::string_view name;
    long long value;
    bool hasValue;
  };

  // Reads a control word at pos_ (which is at the backslash): letters, an optional signed
  // number (clamped to 32 bits; any number of digits is consumed), an optional space.
  Word readWord() {
    ++pos_;
    const qsizetype start = pos_;
    while (pos_ < in_.size() && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
      ++pos_;
    std::string_view name(in_.data() + start, size_t(std::min<qsizetype>(pos_ - start, 32)));
    long long value = 0;
    bool hasValue = false;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && in_[pos_ + 1] >= '0' &&
        in_[pos_ + 1] <= '9') {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
      hasValue = true;
      if (value < 0x7FFFFFFF) value = std::min<long long>(value * 10 + (in_[pos_] - '0'), 0x7FFFFFFF);
      ++pos_;
    }
    if (negative) value = -value;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    return {name, value, hasValue};
  }

  void skipBinary(long long count) {
    if (count > 0) pos_ += qsizetype(std::min<long long>(count, in_.size() - pos_));
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
    const auto& table = keywords();
    const auto found = table.find(w.name);
    Group& g = top();
    if (found == table.end()) {
      if (g.star) toSkip(g);  // an ignorable destination we do not know
      return;
    }
    g.star = false;
    handle(found->second, w, g);
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
      case '\\': case '{': case '}': addByte(c); break;
      case '~': addChar(0x00A0); break;
      case '-': addChar(0x00AD); break;
      case '_': addChar(0x2011); break;
      case '\r': case '\n': paragraphEnd(); break;
      case '\t': addChar(u'\t'); break;
      default: break;  // \| \: and the like
    }
  }

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  static int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
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
      case Kw::DestSkip: toSkip(g); return;
      case Kw::DestFontTable: flushBytes(); g.dest = Dest::FontTable; return;
      case Kw::DestColorTable: flushBytes(); g.dest = Dest::ColorTable; colorPending_ = false; return;
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
      case Kw::DestPn: flushBytes(); g.dest = Dest::Pn; g.para.pn = ListKind::Numbered; return;
      case Kw::DestListTable: g.dest = Dest::ListTable; return;
      case Kw::DestListOverrideTable: g.dest = Dest::ListOverride; return;
      case Kw::DestUpr:
        flushBytes();
        g.outer = g.dest;
        g.dest = Dest::Upr;
        return;
      case Kw::DestUd: return;  // read as the text around its \upr
      case Kw::DestFieldResult: case Kw::DestField: return;  // a field shows its result
      case Kw::Rtf: case Kw::Ansi: return;
      case Kw::Mac: docCodePage_ = 10000; return;
      case Kw::Pc: docCodePage_ = 437; return;
      case Kw::Pca: docCodePage_ = 850; return;
      case Kw::AnsiCpg:
        if (v > 0 && v < 65536) docCodePage_ = int(v);
        return;
      case Kw::Deff: defaultFont_ = clampInt(v, 0, 1 << 20); return;
      case Kw::Uc: g.uc = clampInt(v, 0, 16); return;
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
      case Kw::Bin: skipBinary(v); return;
      case Kw::F:
        if (g.dest == Dest::FontTable) {
          commitFont();
          fontNumber_ = clampInt(v, 0, 1 << 20);
          font_ = Font{};
        } else {
          setChars(g, [&](CharState& s) { s.font = clampInt(v, 0, 1 << 20); });
        }
        return;
      case Kw::FCharset:
        if (g.dest == Dest::FontTable) font_.charset = clampInt(v, 0, 255);
        return;
      case Kw::FPrq:
        if (g.dest == Dest::FontTable) font_.pitch = clampInt(v, 0, 2);
        return;
      case Kw::Cpg:
        if (g.dest == Dest::FontTable && v > 0 && v < 65536) font_.codePage = int(v);
        return;
      case Kw::Red: case Kw::Green: case Kw::Blue:
        if (g.dest == Dest::ColorTable) {
          const int c = clampInt(v, 0, 255);
          if (k.kind == Kw::Red) red_ = c;
          if (k.kind == Kw::Green) green_ = c;
          if (k.kind == Kw::Blue) blue_ = c;
          colorPending_ = true;
        }
        return;
      case Kw::Plain: setChars(g, [&](CharState& s) { s = CharState{}; }); return;
      case Kw::Fs: setChars(g, [&](CharState& s) { s.halfPoints = w.hasValue ? clampInt(v, 1, kMaxFontHalfPoints) : 24; }); return;
      case Kw::B: setChars(g, [&](CharState& s) { s.bold = on; }); return;
      case Kw::I: setChars(g, [&](CharState& s) { s.italic = on; }); return;
      case Kw::Ul: setChars(g, [&](CharState& s) { s.underline = on; }); return;
      case Kw::UlNone: setChars(g, [&](CharState& s) { s.underline = false; }); return;
      case Kw::Strike: setChars(g, [&](CharState& s) { s.strike = on; }); return;
      case Kw::Cf: setChars(g, [&](CharState& s) { s.color = clampInt(v, 0, 1 << 20); }); return;
      case Kw::V: setChars(g, [&](CharState& s) { s.hidden = on; }); return;
      case Kw::Pard:
        if (g.dest == Dest::Text) g.para = ParaState{};
        return;
      case Kw::Fi: g.para.fi = clampIndent(v); return;
      case Kw::Li: g.para.li = clampIndent(v); return;
      case Kw::Ri: g.para.ri = clampIndent(v); return;
      case Kw::Ql: g.para.align = Qt::AlignLeft; return;
      case Kw::Qr: g.para.align = Qt::AlignRight; return;
      case Kw::Qc: g.para.align = Qt::AlignHCenter; return;
      case Kw::Qj: g.para.align = Qt::AlignJustify; return;
      case Kw::Ls:
        if (g.dest == Dest::ListOverride) {
          overrideLs_ = clampInt(v, 0, 1 << 20);
          if (overrideListId_ != 0) listOfOverride_[overrideLs_] = overrideListId_;
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
          listId_ = 0;
          listLevel_ = 0;
          listNfc_ = -1;
        }
        return;
      case Kw::ListId:
        if (g.dest == Dest::ListTable) {
          listId_ = v;
          if (listNfc_ >= 0) bulletLists_[listId_] = listNfc_ == 23;
        } else if (g.dest == Dest::ListOverride) {
          overrideListId_ = v;
          if (overrideLs_ != 0) listOfOverride_[overrideLs_] = overrideListId_;
        }
        return;
      case Kw::ListOverride:
        if (g.dest == Dest::ListOverride) {
          overrideLs_ = 0;
          overrideListId_ = 0;
        }
        return;
      case Kw::ListLevel:
        if (g.dest == Dest::ListTable) ++listLevel_;
        return;
      case Kw::LevelNfc:
        if (g.dest == Dest::ListTable && listLevel_ == 1) {
          listNfc_ = clampInt(v, 0, 255);
          if (listId_ != 0) bulletLists_[listId_] = listNfc_ == 23;
        }
        return;
      case Kw::Par:
        if (g.dest == Dest::Text) paragraphEnd();
        return;
      case Kw::Line: addChar(QChar::LineSeparator); return;
      case Kw::Tab: addChar(u'\t'); return;
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
      case Kw::Char: addChar(k.ch); return;
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
    const int index = g.dest == Dest::FontTable ? fontNumber_ : (g.chars.font < 0 ? defaultFont_ : g.chars.font);
    const Font* f = nullptr;
    if (g.dest == Dest::FontTable) {
      f = &font_;
    } else if (auto it = fonts_.find(index); it != fonts_.end()) {
      f = &it->second;
    }
    if (f) {
      if (f->codePage) return f->codePage;
      if (const int cp = codePageOfCharset(f->charset)) return cp;
    }
    return docCodePage_;
  }

  void addByte(char c) {
    const Dest d = top().dest;
    if (d == Dest::ColorTable) {
      if (c == ';') commitColor();
      return;
    }
    if (d != Dest::Text && d != Dest::FontTable && d != Dest::ListText) return;
    if (d == Dest::FontTable && c == ';') {
      flushBytes();
      commitFont();
      return;
    }
    if (bytes_.isEmpty()) bytesCodePage_ = codePage();
    bytes_.append(c);
  }

  void addChar(char16_t ch) {
    flushBytes();
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
      case Dest::FontTable: return &font_.name;
      case Dest::ListText: return &listText_;
      default: return nullptr;
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
    if (QString* target = textTarget()) target->append(decoded);
  }

  struct Run {
    CharState chars;
    QString text;
  };

  QString& run(const CharState& chars) {
    if (runs_.empty() || !(runs_.back().chars == chars)) runs_.push_back({chars, {}});
    return runs_.back().text;
  }

  void commitFont() {
    if (fontNumber_ < 0) return;
    font_.name = font_.name.trimmed();
    if (!font_.name.isEmpty() || !fonts_.contains(fontNumber_)) fonts_[fontNumber_] = font_;
    fontNumber_ = -1;
    font_ = Font{};
  }

  void commitColor() {
    colors_.push_back(colorPending_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorPending_ = false;
  }

  QTextCharFormat formatOf(const CharState& s) {
    QTextCharFormat f;
    const int index = s.font < 0 ? defaultFont_ : s.font;
    if (auto it = fonts_.find(index); it != fonts_.end()) {
      if (!it->second.name.isEmpty()) f.setFontFamilies(QStringList{it->second.name});
      f.setProperty(kCharset, it->second.charset);
      if (it->second.pitch) f.setProperty(kPitch, it->second.pitch == 1 ? 1 : 2);
      if (it->second.pitch == 1) f.setFontFixedPitch(true);
    }
    f.setFontPointSize(s.halfPoints / 2.0);
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strike);
    if (s.color >= 0 && s.color < int(colors_.size()) && colors_[s.color].isValid()) f.setForeground(colors_[s.color]);
    return f;
  }

  bool isBullet(const ParaState& p) const {
    if (p.pn == ListKind::Bullet) return true;
    if (p.pn == ListKind::Numbered) return false;
    if (p.ls > 0) {
      const auto o = listOfOverride_.find(p.ls);
      if (o != listOfOverride_.end()) {
        const auto l = bulletLists_.find(o->second);
        if (l != bulletLists_.end()) return l->second;
      }
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
      runs_.insert(runs_.begin(), Run{mark, listText_});
    }
    listText_.clear();
    listTextSeen_ = false;

    QTextBlockFormat block;
    block.setAlignment(para.align);
    // RTF to the rich-edit model: the first line at \li + \fi, the following lines \fi after.
    applyIndents(block, {clampIndent(static_cast<long long>(para.li) + para.fi), clampIndent(-static_cast<long long>(para.fi)), para.ri},
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
      if (r.text.isEmpty()) continue;
      if (doc_->characterCount() + r.text.size() > kMaxTextCharacters) break;
      cursor_.insertText(r.text, formatOf(r.chars));
    }
    runs_.clear();
  }

  void endOfDocument() {
    flushBytes();
    const bool pending = std::any_of(runs_.begin(), runs_.end(), [](const Run& r) { return !r.text.isEmpty(); });
    // The last \par ends the last paragraph; nothing after it makes no paragraph of its own.
    if (pending || (listTextSeen_ && !listText_.isEmpty())) emitParagraph(top().para, top().chars);
  }

  // The reader stops adding text at this size; the control refuses more anyway.
  static constexpr qsizetype kMaxTextCharacters = 64 * 1024 * 1024;

  QByteArrayView in_;
  qsizetype pos_ = 0;
  QTextCursor& cursor_;
  QTextDocument* doc_;
  Group root_;
  std::vector<Group> stack_;
  int overflow_ = 0;  // groups opened beyond kMaxDepth
  int skip_ = 0;      // fallback characters still to skip after \uN

  int docCodePage_ = 1252;
  int defaultFont_ = 0;
  std::unordered_map<int, Font> fonts_;
  int fontNumber_ = -1;
  Font font_;
  std::vector<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorPending_ = false;

  long long listId_ = 0;
  int listLevel_ = 0;
  int listNfc_ = -1;
  std::unordered_map<long long, bool> bulletLists_;
  int overrideLs_ = 0;
  long long overrideListId_ = 0;
  std::unordered_map<int, long long> listOfOverride_;

  QByteArray bytes_;
  int bytesCodePage_ = 1252;
  std::vector<Run> runs_;
  QString listText_;
  bool listTextSeen_ = false;
  bool cellPending_ = false;
  bool firstBlock_ = true;
  QTextList* list_ = nullptr;
};

}  // namespace

void read(QByteArrayView bytes, QTextCursor& cursor) { Reader(bytes, cursor).run(); }

}  // namespace vardel::platform::rtf
