// The numbered cursor registry.
#include "ui/cursors.h"

#include <map>
#include <optional>

namespace vardel::ui {
namespace {

struct Entry {
  CursorFactory factory;
  std::optional<QCursor> made;
};

std::map<int, Entry>& registry() {
  static std::map<int, Entry> cursors;
  return cursors;
}

}  // namespace

void registerCursor(int id, CursorFactory factory) { registry()[id] = Entry{std::move(factory), std::nullopt}; }

bool hasCursor(int id) { return registry().count(id) != 0; }

QCursor screenCursor(int id) {
  auto it = registry().find(id);
  if (it == registry().end() || !it->second.factory) return QCursor(Qt::ArrowCursor);
  if (!it->second.made) it->second.made = it->second.factory();
  return *it->second.made;
}

}  // namespace vardel::ui
