// The clipboard-viewer chain: windows that want to hear of clipboard changes join a chain,
// each passing the notifications on to the next, as the desktop's viewer chain works.
#pragma once

#include <cstdint>

namespace vardel::platform {

// A window's handle in the chain; 0 names no window.
using ViewerHandle = std::uintptr_t;

// A window that takes part in the chain. Its handlers are expected to pass each notification
// on to the next viewer it was given when it joined (see passClipboardUpdate and
// passChainChange): a viewer that does not breaks the chain for those after it.
class ClipboardViewer {
 public:
  virtual ~ClipboardViewer() = default;
  // The clipboard's contents changed.
  virtual void clipboardUpdate() = 0;
  // `removed` leaves the chain and `next` follows it from now on.
  virtual void clipboardChainChange(ViewerHandle removed, ViewerHandle next) = 0;
};

// Gives `viewer` a handle (never 0) through which the chain reaches it; messages to a handle
// that has been released are dropped. Release before the viewer is destroyed.
ViewerHandle registerClipboardViewer(ClipboardViewer* viewer);
void releaseClipboardViewer(ViewerHandle handle);

// Puts `handle` at the head of the chain and returns the viewer that was the head before (0
// when the chain was empty): the new viewer's next one. The new viewer hears of the current
// contents at once, as with a clipboard change. Changes of the system clipboard reach the
// head from the moment a chain exists (a running Qt application is needed for them).
ViewerHandle joinClipboardChain(ViewerHandle handle);

// Takes `removed` out of the chain, naming `next` as its successor: the head hears a chain
// change (removed, next) and passes it down until the viewer before `removed` takes `next`.
// When `removed` is the head, `next` becomes the head. False when `removed` is not in the
// chain.
bool leaveClipboardChain(ViewerHandle removed, ViewerHandle next);

// What a viewer does to pass a notification on; nothing happens for handle 0 or a released
// handle.
void passClipboardUpdate(ViewerHandle to);
void passChainChange(ViewerHandle to, ViewerHandle removed, ViewerHandle next);

// The head of the chain (0 when empty).
ViewerHandle clipboardChainHead();

// Runs a clipboard change through the chain as the system clipboard's change signal does.
void notifyClipboardChanged();

}  // namespace vardel::platform
