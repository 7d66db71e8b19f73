// Window search and activation over xcb, with the ICCCM and EWMH conventions window managers
// and toolkits follow. Each call opens its own connection to the display named by DISPLAY, so
// nothing here depends on the toolkit's connection or its error handling.
#include "platform/x11_windows.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace vardel::platform {
namespace {

constexpr std::uint32_t kWithdrawnState = 0;
// How deep below the root a reparenting window manager puts its clients (frame, then
// sometimes a wrapper).
constexpr int kSearchDepth = 3;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <class T>
Reply<T> reply(T* r) {
  return Reply<T>(r, &std::free);
}

class Display {
 public:
  Display() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return;
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (it.rem) root_ = it.data->root;
  }
  ~Display() {
    if (connection_) xcb_disconnect(connection_);
  }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  bool ok() const { return connection_ && !xcb_connection_has_error(connection_) && root_ != 0; }
  xcb_connection_t* c() const { return connection_; }
  xcb_window_t root() const { return root_; }

  xcb_atom_t atom(const char* name) {
    auto r = reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
  }

  // A property's raw value (at most 64 KiB), or nothing when the window or property is absent.
  std::optional<QByteArray> property(xcb_window_t window, xcb_atom_t name,
                                     xcb_atom_t type = XCB_GET_PROPERTY_TYPE_ANY) {
    auto r = reply(
        xcb_get_property_reply(connection_, xcb_get_property(connection_, 0, window, name, type, 0, 16384), nullptr));
    if (!r || r->type == XCB_ATOM_NONE) return std::nullopt;
    const int length = xcb_get_property_value_length(r.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())), length);
  }
  std::optional<std::uint32_t> cardinal(xcb_window_t window, xcb_atom_t name) {
    const std::optional<QByteArray> value = property(window, name);
    if (!value || value->size() < 4) return std::nullopt;
    std::uint32_t v;
    std::memcpy(&v, value->constData(), 4);
    return v;
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
};

struct Client {
  xcb_window_t window;
  bool viewable;
  std::optional<std::uint32_t> wmState;  // absent when no window manager manages it
};

std::vector<xcb_window_t> children(Display& d, xcb_window_t window) {
  auto r = reply(xcb_query_tree_reply(d.c(), xcb_query_tree(d.c(), window), nullptr));
  if (!r) return {};
  const xcb_window_t* list = xcb_query_tree_children(r.get());
  return std::vector<xcb_window_t>(list, list + xcb_query_tree_children_length(r.get()));
}

// The top-level windows of applications: those a window manager manages (they carry WM_STATE,
// at any depth a reparenting manager puts them), and, where no manager runs, the root's own
// children that are mapped and do not bypass management.
std::vector<Client> topLevelWindows(Display& d) {
  const xcb_atom_t wmState = d.atom("WM_STATE");
  std::vector<Client> clients;
  const auto attributes = [&](xcb_window_t w) {
    return reply(xcb_get_window_attributes_reply(d.c(), xcb_get_window_attributes(d.c(), w), nullptr));
  };
  std::vector<std::pair<xcb_window_t, int>> pending;
  for (const xcb_window_t w : children(d, d.root())) pending.emplace_back(w, 1);
  while (!pending.empty()) {
    const auto [window, depth] = pending.back();
    pending.pop_back();
    const auto attrs = attributes(window);
    if (!attrs) continue;  // gone meanwhile
    const bool viewable = attrs->map_state == XCB_MAP_STATE_VIEWABLE;
    if (const std::optional<std::uint32_t> state = d.cardinal(window, wmState)) {
      clients.push_back({window, viewable, state});
      continue;
    }
    if (depth == 1 && viewable && !attrs->override_redirect) clients.push_back({window, viewable, std::nullopt});
    if (depth < kSearchDepth)
      for (const xcb_window_t w : children(d, window)) pending.emplace_back(w, depth + 1);
  }
  // A managed client supersedes the unmanaged frame that holds it.
  const bool managed =
      std::any_of(clients.begin(), clients.end(), [](const Client& c) { return c.wmState.has_value(); });
  if (managed) std::erase_if(clients, [](const Client& c) { return !c.wmState.has_value(); });
  return clients;
}

QString caption(Display& d, xcb_window_t window) {
  if (const auto name = d.property(window, d.atom("_NET_WM_NAME"), d.atom("UTF8_STRING")))
    return QString::fromUtf8(*name);
  if (const auto name = d.property(window, XCB_ATOM_WM_NAME)) return QString::fromLatin1(*name);
  return {};
}

void sendToRoot(Display& d, xcb_window_t window, xcb_atom_t type, std::initializer_list<std::uint32_t> data) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  std::copy(data.begin(), data.end(), event.data.data32);
  xcb_send_event(d.c(), 0, d.root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

}  // namespace

WindowId findTopLevelWindow(const QString& text) {
  Display d;
  if (!d.ok()) return 0;
  for (const Client& client : topLevelWindows(d)) {
    if (client.wmState && *client.wmState == kWithdrawnState) continue;
    if (caption(d, client.window) == text) return client.window;
  }
  return 0;
}

bool processShowsWindow(std::int64_t pid) {
  Display d;
  if (!d.ok()) return false;
  const xcb_atom_t pidAtom = d.atom("_NET_WM_PID");
  for (const Client& client : topLevelWindows(d)) {
    if (!client.viewable) continue;
    if (const auto owner = d.cardinal(client.window, pidAtom); owner && std::int64_t(*owner) == pid) return true;
  }
  return false;
}

bool showWindowNormal(WindowId window) {
  Display d;
  if (!d.ok() || window == 0) return false;
  auto attrs = reply(xcb_get_window_attributes_reply(d.c(), xcb_get_window_attributes(d.c(), window), nullptr));
  if (!attrs) return false;
  constexpr std::uint32_t kRemove = 0;
  constexpr std::uint32_t kFromPager = 2;
  // Mapping an iconic window is the ICCCM request to show it normally again.
  xcb_map_window(d.c(), window);
  sendToRoot(d, window, d.atom("_NET_WM_STATE"),
             {kRemove, d.atom("_NET_WM_STATE_MAXIMIZED_VERT"), d.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kFromPager});
  sendToRoot(d, window, d.atom("_NET_WM_STATE"), {kRemove, d.atom("_NET_WM_STATE_HIDDEN"), 0, kFromPager});
  sendToRoot(d, window, d.atom("_NET_ACTIVE_WINDOW"), {kFromPager, XCB_CURRENT_TIME, 0});
  // Without a window manager nobody answers those messages: raise and focus it directly.
  if (!d.property(d.root(), d.atom("_NET_SUPPORTING_WM_CHECK"))) {
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(d.c(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_set_input_focus(d.c(), XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
  }
  auto sync = reply(xcb_get_input_focus_reply(d.c(), xcb_get_input_focus(d.c()), nullptr));  // all of it delivered
  return true;
}

bool setOwnerWindow(WindowId window, WindowId owner) {
  Display d;
  if (!d.ok() || window == 0) return false;
  if (owner == 0) {
    xcb_delete_property(d.c(), window, XCB_ATOM_WM_TRANSIENT_FOR);
  } else {
    xcb_change_property(d.c(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                        &owner);
  }
  // A round trip: the property is in place before the caller goes on to map the window.
  auto sync = reply(xcb_get_input_focus_reply(d.c(), xcb_get_input_focus(d.c()), nullptr));
  return sync != nullptr;
}

std::optional<DesktopArea> desktopArea() {
  // Asked before Qt opens its own connection. An X server with no other client resets itself
  // when its last client leaves (Xvfb, or a server started for the program alone), and refuses
  // connections while it does: closing this one first would make Qt's connection fail at
  // random. So it stays open, idle, for the life of the program.
  static Display kept;
  Display& d = kept;
  if (!d.ok()) return std::nullopt;
  auto geometry = reply(xcb_get_geometry_reply(d.c(), xcb_get_geometry(d.c(), d.root()), nullptr));
  if (!geometry) return std::nullopt;
  DesktopArea area{QSize(geometry->width, geometry->height), QRect(0, 0, geometry->width, geometry->height)};
  // Four cardinals per desktop: x, y, width, height.
  const std::optional<QByteArray> workArea = d.property(d.root(), d.atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL);
  const std::uint32_t desktop = d.cardinal(d.root(), d.atom("_NET_CURRENT_DESKTOP")).value_or(0);
  constexpr qsizetype kEntry = 4 * sizeof(std::uint32_t);
  if (workArea && desktop < 64 && workArea->size() >= qsizetype(desktop + 1) * kEntry) {
    std::uint32_t v[4];
    std::memcpy(v, workArea->constData() + qsizetype(desktop) * kEntry, sizeof v);
    const QRect usable = QRect(int(v[0] & 0xffff), int(v[1] & 0xffff), int(v[2] & 0xffff), int(v[3] & 0xffff));
    if (!usable.intersected(area.usable).isEmpty()) area.usable = usable.intersected(area.usable);
  }
  return area;
}

}  // namespace vardel::platform
