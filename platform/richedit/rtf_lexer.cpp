// The RTF lexer: the keyword table, control words, escapes and skipped groups.
#include "platform/richedit/rtf_lexer.h"

#include <algorithm>
#include <unordered_map>

namespace vardel::platform::rtf {

const Keyword* findKeyword(std::string_view name) {
  static const std::unordered_map<std::string_view, Keyword> table = [] {
    std::unordered_map<std::string_view, Keyword> t;
    for (const char* d : {"stylesheet",
                          "info",
                          "nonshppict",
                          "header",
                          "footer",
                          "headerl",
                          "headerr",
                          "headerf",
                          "footerl",
                          "footerr",
                          "footerf",
                          "footnote",
                          "annotation",
                          "fldinst",
                          "xe",
                          "tc",
                          "txe",
                          "rxe",
                          "bkmkstart",
                          "bkmkend",
                          "pntxta",
                          "pntxtb",
                          "revtbl",
                          "rsidtbl",
                          "generator",
                          "themedata",
                          "colorschememapping",
                          "datastore",
                          "latentstyles",
                          "xmlnstbl",
                          "mmathPr",
                          "ftnsep",
                          "ftnsepc",
                          "ftncn",
                          "aftnsep",
                          "aftnsepc",
                          "aftncn",
                          "template",
                          "shpinst",
                          "shprslt",
                          "listpicture",
                          "fontemb",
                          "fontfile",
                          "falt",
                          "panose",
                          "pgdsctbl",
                          "private",
                          "userprops",
                          "docvar",
                          "objdata",
                          "atnid",
                          "atnauthor",
                          "filetbl",
                          "listname",
                          "leveltext",
                          "levelnumbers",
                          "pnseclvl",
                          "macpict",
                          "wmetafile",
                          "blipuid",
                          "background",
                          "sp",
                          "sn",
                          "sv",
                          "fchars",
                          "lchars",
                          "pgptbl",
                          "mhtmltag",
                          "htmltag",
                          "wgrffmtfilter",
                          "formfield",
                          "datafield",
                          "password",
                          "passwordhash",
                          "protusertbl",
                          "oldcprops",
                          "oldpprops",
                          "oldtprops",
                          "oldsprops",
                          "ebcstart",
                          "ebcend",
                          "title",
                          "subject",
                          "author",
                          "operator",
                          "keywords",
                          "comment",
                          "doccomm",
                          "hlinkbase",
                          "company",
                          "category",
                          "manager",
                          "creatim",
                          "revtim",
                          "printim",
                          "buptim"})
      t.emplace(d, Keyword{Kw::DestSkip});
    for (const char* d : {"object", "shp", "do"}) t.emplace(d, Keyword{Kw::DestUnkept});
    t.emplace("pict", Keyword{Kw::DestPict});
    t.emplace("shppict", Keyword{Kw::DestShpPict});
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
    const std::pair<const char*, Kw> plain[] = {{"rtf", Kw::Rtf},
                                                {"ansi", Kw::Ansi},
                                                {"mac", Kw::Mac},
                                                {"pc", Kw::Pc},
                                                {"pca", Kw::Pca},
                                                {"ansicpg", Kw::AnsiCpg},
                                                {"deff", Kw::Deff},
                                                {"uc", Kw::Uc},
                                                {"u", Kw::U},
                                                {"bin", Kw::Bin},
                                                {"f", Kw::F},
                                                {"fcharset", Kw::FCharset},
                                                {"fprq", Kw::FPrq},
                                                {"cpg", Kw::Cpg},
                                                {"red", Kw::Red},
                                                {"green", Kw::Green},
                                                {"blue", Kw::Blue},
                                                {"plain", Kw::Plain},
                                                {"fs", Kw::Fs},
                                                {"b", Kw::B},
                                                {"i", Kw::I},
                                                {"ul", Kw::Ul},
                                                {"uld", Kw::Ul},
                                                {"uldb", Kw::Ul},
                                                {"uldash", Kw::Ul},
                                                {"uldashd", Kw::Ul},
                                                {"uldashdd", Kw::Ul},
                                                {"ulw", Kw::Ul},
                                                {"ulwave", Kw::Ul},
                                                {"ulth", Kw::Ul},
                                                {"ulhwave", Kw::Ul},
                                                {"ululdbwave", Kw::Ul},
                                                {"ulnone", Kw::UlNone},
                                                {"strike", Kw::Strike},
                                                {"striked", Kw::Strike},
                                                {"cf", Kw::Cf},
                                                {"v", Kw::V},
                                                {"pard", Kw::Pard},
                                                {"fi", Kw::Fi},
                                                {"li", Kw::Li},
                                                {"ri", Kw::Ri},
                                                {"ql", Kw::Ql},
                                                {"qr", Kw::Qr},
                                                {"qc", Kw::Qc},
                                                {"qj", Kw::Qj},
                                                {"qd", Kw::Qj},
                                                {"ls", Kw::Ls},
                                                {"pnlvlblt", Kw::PnLvlBlt},
                                                {"pnlvlbody", Kw::PnLvlNumbered},
                                                {"pnlvlcont", Kw::PnLvlNumbered},
                                                {"pnlvl", Kw::PnLvlNumbered},
                                                {"list", Kw::List},
                                                {"listid", Kw::ListId},
                                                {"listoverride", Kw::ListOverride},
                                                {"listlevel", Kw::ListLevel},
                                                {"levelnfc", Kw::LevelNfc},
                                                {"par", Kw::Par},
                                                {"sect", Kw::Par},
                                                {"page", Kw::Par},
                                                {"line", Kw::Line},
                                                {"tab", Kw::Tab},
                                                {"cell", Kw::Cell},
                                                {"nestcell", Kw::Cell},
                                                {"row", Kw::Row},
                                                {"nestrow", Kw::Row}};
    for (const auto& [name, kind] : plain) t.emplace(name, Keyword{kind});
    const std::pair<const char*, char16_t> symbols[] = {
        {"emdash", 0x2014},    {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002},
        {"qmspace", 0x2005},   {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},
        {"zwbo", 0x200B},      {"zwnbo", 0xFEFF},     {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
    for (const auto& [name, ch] : symbols) t.emplace(name, Keyword{Kw::Char, ch});
    return t;
  }();
  const auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

Word Scanner::readWord() {
  ++pos_;
  const qsizetype start = pos_;
  while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
  std::string_view name(in_.data() + start, size_t(std::min<qsizetype>(pos_ - start, 32)));
  long long value = 0;
  bool hasValue = false;
  bool negative = false;
  if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
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

void Scanner::skipToGroupEnd() {
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

void Scanner::skipBinary(long long count) {
  if (count > 0) pos_ += qsizetype(std::min<long long>(count, in_.size() - pos_));
}

int Scanner::hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace vardel::platform::rtf
