// The font, colour and list tables of an RTF document.
#include "platform/richedit/rtf_tables.h"

namespace vardel::platform::rtf {

namespace {
// \levelnfc23: a bullet; every other number format numbers the paragraphs.
constexpr int kBulletFormat = 23;
}  // namespace

void Tables::beginFont(int number) {
  commitFont();
  pendingNumber_ = number;
  pending_ = Font{};
}

void Tables::commitFont() {
  if (pendingNumber_ < 0) return;
  pending_.name = pending_.name.trimmed();
  // A later entry without a name does not replace a named one.
  if (!pending_.name.isEmpty() || !fonts_.contains(pendingNumber_)) fonts_[pendingNumber_] = pending_;
  pendingNumber_ = -1;
  pending_ = Font{};
}

const Font* Tables::font(int number) const {
  const auto it = fonts_.find(number);
  return it == fonts_.end() ? nullptr : &it->second;
}

void Tables::setComponent(char which, int value) {
  (which == 'r' ? red_ : which == 'g' ? green_ : blue_) = value;
  componentsSeen_ = true;
}

void Tables::commitColor() {
  colors_.push_back(componentsSeen_ ? QColor(red_, green_, blue_) : QColor());
  red_ = green_ = blue_ = 0;
  componentsSeen_ = false;
}

QColor Tables::color(int index) const {
  return index >= 0 && index < int(colors_.size()) ? colors_[size_t(index)] : QColor();
}

void Tables::beginList() {
  listId_ = 0;
  level_ = 0;
  nfc_ = -1;
}

// The id and the first level's format come in either order; the list is known once both are.
void Tables::listId(long long id) {
  listId_ = id;
  if (nfc_ >= 0) bulletLists_[listId_] = nfc_ == kBulletFormat;
}

void Tables::levelNumberFormat(int nfc) {
  if (level_ != 1) return;
  nfc_ = nfc;
  if (listId_ != 0) bulletLists_[listId_] = nfc_ == kBulletFormat;
}

void Tables::beginOverride() {
  overrideLs_ = 0;
  overrideListId_ = 0;
}

void Tables::overrideListId(long long id) {
  overrideListId_ = id;
  if (overrideLs_ != 0) listOfOverride_[overrideLs_] = overrideListId_;
}

void Tables::overrideNumber(int ls) {
  overrideLs_ = ls;
  if (overrideListId_ != 0) listOfOverride_[overrideLs_] = overrideListId_;
}

int Tables::isBulletList(int ls) const {
  const auto o = listOfOverride_.find(ls);
  if (o == listOfOverride_.end()) return -1;
  const auto l = bulletLists_.find(o->second);
  return l == bulletLists_.end() ? -1 : int(l->second);
}

}  // namespace vardel::platform::rtf
