// The RTF reader's state: the group stack, the destinations and the runs of the paragraph
// being read. Shared by the reader's two halves: rtf_reader.cpp (groups, text, paragraphs) and
// rtf_reader_keywords.cpp (what each control word does).
#pragma once

#include "platform/richedit/codepage.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/layout_limit.h"
#include "platform/richedit/rtf.h"
#include "platform/richedit/rtf_lexer.h"
#include "platform/richedit/rtf_picture.h"
#include "platform/richedit/rtf_tables.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vardel::platform::rtf::reading {

using namespace richtext;

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

struct CharStateHash {
  size_t operator()(const CharState& s) const {
    const size_t flags = size_t(s.bold) | size_t(s.italic) << 1 | size_t(s.underline) << 2 | size_t(s.strike) << 3 |
                         size_t(s.hidden) << 4;
    return qHashMulti(0, s.font, s.halfPoints, s.color, flags);
  }
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

inline int clampInt(long long v, int lo, int hi) { return int(std::clamp<long long>(v, lo, hi)); }

class Reader : Scanner {
 public:
  Reader(QByteArrayView in, QTextCursor& cursor, LayoutBudget* budget);

  ReadResult run();

 private:
  Group& top() { return stack_.empty() ? root_ : stack_.back(); }

  void openGroup();

  void closeGroup();

  void controlWord();

  void controlSymbol(char c);

  void toSkip(Group& g);

  void handle(const Keyword& k, const Word& w, Group& g);

  template <typename Change>
  void setChars(Group& g, Change change) {
    CharState next = g.chars;
    change(next);
    if (next == g.chars) return;
    flushBytes();
    g.chars = next;
  }

  // ---- text ----

  int codePage();

  bool inPictureGroup() const { return pict_ && stack_.size() == pictDepth_; }

  void finishPicture();

  void addByte(char c);

  void addChar(char16_t ch);

  // Where decoded text of the current group goes; nullptr for nowhere.
  QString* textTarget();

  void addText(const QString& text);

  void flushBytes();

  struct Run {
    CharState chars;
    QString text;
    std::optional<QTextImageFormat> picture;  // a picture instead of text
  };

  QString& run(const CharState& chars);

  // The format of a character state, made once for each state while the tables stay as they are:
  // a paragraph of many thousand runs shares a handful of formats.
  const QTextCharFormat& formatOf(const CharState& s);
  QTextCharFormat makeFormat(const CharState& s) const;
  // The font or colour table or the default font changed: the formats made so far may be wrong.
  void tablesChanged() { formats_.clear(); }

  bool isBullet(const ParaState& p) const;

  void paragraphEnd();

  void emitParagraph(const ParaState& para, const CharState& mark);

  void endOfDocument();

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
  std::deque<Run> runs_;  // a paragraph may hold 100,000 runs: they are never moved
  std::unordered_map<CharState, QTextCharFormat, CharStateHash> formats_;
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

}  // namespace vardel::platform::rtf::reading
