// The process-wide clipboard-viewer chain, fed by the system clipboard's change signal.
#include "platform/clipboard_chain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>

#include <map>
#include <set>

namespace vardel::platform {
namespace {

struct Chain {
  std::map<ViewerHandle, ClipboardViewer*> viewers;
  std::set<ViewerHandle> joined;
  ViewerHandle head = 0;
  ViewerHandle nextHandle = 0x1000;
  // Notifications passed on inside one another. A chain whose viewers pass to themselves or in
  // a circle would never end; deeper than every viewer once over is such a circle.
  int depth = 0;
  QPointer<QClipboard> clipboard;
};

Chain& chain() {
  static Chain instance;
  return instance;
}

ClipboardViewer* viewerOf(ViewerHandle handle) {
  const auto it = chain().viewers.find(handle);
  return it == chain().viewers.end() ? nullptr : it->second;
}

// Runs one delivery unless the chain has gone round in a circle.
template <class F>
void deliver(ViewerHandle to, F&& f) {
  Chain& c = chain();
  ClipboardViewer* viewer = viewerOf(to);
  if (!viewer || c.depth > int(c.viewers.size())) return;
  ++c.depth;
  try {
    f(viewer);
  } catch (...) {
    --c.depth;
    throw;
  }
  --c.depth;
}

void listenToClipboard() {
  Chain& c = chain();
  if (c.clipboard || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  c.clipboard = QGuiApplication::clipboard();
  QObject::connect(c.clipboard, &QClipboard::dataChanged, c.clipboard, [] { notifyClipboardChanged(); });
}

}  // namespace

ViewerHandle registerClipboardViewer(ClipboardViewer* viewer) {
  Chain& c = chain();
  const ViewerHandle handle = c.nextHandle++;
  c.viewers[handle] = viewer;
  return handle;
}

void releaseClipboardViewer(ViewerHandle handle) {
  Chain& c = chain();
  c.viewers.erase(handle);
  // A viewer that goes without leaving takes its place with it; the chain must not keep a
  // head that can no longer be reached.
  if (c.joined.erase(handle) && c.head == handle) c.head = 0;
}

ViewerHandle joinClipboardChain(ViewerHandle handle) {
  Chain& c = chain();
  if (!viewerOf(handle)) return 0;
  listenToClipboard();
  const ViewerHandle previous = c.head;
  c.head = handle;
  c.joined.insert(handle);
  passClipboardUpdate(handle);
  return previous == handle ? 0 : previous;
}

bool leaveClipboardChain(ViewerHandle removed, ViewerHandle next) {
  Chain& c = chain();
  if (!c.joined.erase(removed)) return false;
  if (c.head == removed) {
    c.head = next;
    return true;
  }
  passChainChange(c.head, removed, next);
  return true;
}

void passClipboardUpdate(ViewerHandle to) {
  deliver(to, [](ClipboardViewer* viewer) { viewer->clipboardUpdate(); });
}

void passChainChange(ViewerHandle to, ViewerHandle removed, ViewerHandle next) {
  deliver(to, [&](ClipboardViewer* viewer) { viewer->clipboardChainChange(removed, next); });
}

ViewerHandle clipboardChainHead() { return chain().head; }

void notifyClipboardChanged() { passClipboardUpdate(chain().head); }

}  // namespace vardel::platform
