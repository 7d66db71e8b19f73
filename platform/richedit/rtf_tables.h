// The tables of an RTF document as the reader meets them: fonts, colours and lists.
#pragma once

#include <QColor>
#include <QString>

#include <unordered_map>
#include <vector>

namespace vardel::platform::rtf {

struct Font {
  QString name;
  int charset = 0;
  bool charsetGiven = false;  // \fcharset was there: it decides the code page, not the document
  int pitch = 0;              // \fprq: 0 default, 1 fixed, 2 variable
  int codePage = 0;           // \cpg; 0: the character set's, or the document's
};

class Tables {
 public:
  // The font table: \fN starts an entry (and ends the one before), ';' or the table's end ends it.
  void beginFont(int number);
  Font& pendingFont() { return pending_; }
  int pendingFontNumber() const { return pendingNumber_; }
  void commitFont();
  const Font* font(int number) const;

  // The colour table: components, then ';' ends an entry; an entry without any is the
  // automatic colour.
  void beginColors() { componentsSeen_ = false; }
  void setComponent(char which, int value);
  void commitColor();
  // The colour of \cfN; invalid for the automatic colour or an index the table lacks.
  QColor color(int index) const;

  // The list table (\list with its levels and \listid) and the overrides (\listoverride with
  // \listid and \ls). Only the first level counts: the control has one level of bullets.
  void beginList();
  void listId(long long id);
  void listLevel() { ++level_; }
  void levelNumberFormat(int nfc);
  void beginOverride();
  void overrideListId(long long id);
  void overrideNumber(int ls);
  // Whether the paragraphs of \lsN are bullets: 1 yes, 0 numbered, -1 not known.
  int isBulletList(int ls) const;

 private:
  std::unordered_map<int, Font> fonts_;
  int pendingNumber_ = -1;
  Font pending_;

  std::vector<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool componentsSeen_ = false;

  long long listId_ = 0;
  int level_ = 0;
  int nfc_ = -1;
  std::unordered_map<long long, bool> bulletLists_;
  int overrideLs_ = 0;
  long long overrideListId_ = 0;
  std::unordered_map<int, long long> listOfOverride_;
};

}  // namespace vardel::platform::rtf
