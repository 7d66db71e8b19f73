// The compositor's outputs through wl_registry and wl_output, with every wait bounded: a
// compositor that does not answer costs a second at start-up, never a hang.
#include "platform/wayland_output.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <wayland-client.h>

#include <poll.h>

#include <algorithm>
#include <memory>

namespace vardel::platform {
namespace {

constexpr int kAnswerMilliseconds = 1000;
// Version 2 adds the scale and the "done" that closes each output's description.
constexpr std::uint32_t kOutputVersion = 2;

struct Query {
  wl_registry* registry = nullptr;
  std::vector<wl_output*> proxies;
  std::vector<WaylandOutput> outputs;
};

// The description being filled for one of the outputs bound in global().
WaylandOutput& outputOf(void* data, wl_output* proxy) {
  auto* query = static_cast<Query*>(data);
  const auto at = std::find(query->proxies.begin(), query->proxies.end(), proxy) - query->proxies.begin();
  return query->outputs[std::size_t(at)];
}

void geometry(void* data, wl_output* proxy, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              const char*, const char*, std::int32_t transform) {
  outputOf(data, proxy).transform = transform;
}

void mode(void* data, wl_output* proxy, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
  if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
  outputOf(data, proxy).mode = QSize(width, height);
}

void done(void*, wl_output*) {}

void scale(void* data, wl_output* proxy, std::int32_t factor) { outputOf(data, proxy).scale = factor; }

void name(void*, wl_output*, const char*) {}
void description(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener{geometry, mode, done, scale, name, description};

void global(void* data, wl_registry* registry, std::uint32_t id, const char* interface, std::uint32_t version) {
  if (qstrcmp(interface, wl_output_interface.name) != 0) return;
  auto* query = static_cast<Query*>(data);
  auto* output =
      static_cast<wl_output*>(wl_registry_bind(registry, id, &wl_output_interface, std::min(version, kOutputVersion)));
  if (!output) return;
  query->proxies.push_back(output);
  query->outputs.emplace_back();
  wl_output_add_listener(output, &kOutputListener, query);
}

void globalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener{global, globalRemove};

void synced(void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; }

const wl_callback_listener kSyncListener{synced};

// wl_display_roundtrip with a deadline: every request sent so far has been answered.
bool roundtrip(wl_display* display, const QElapsedTimer& clock) {
  bool answered = false;
  std::unique_ptr<wl_callback, decltype(&wl_callback_destroy)> sync(wl_display_sync(display), &wl_callback_destroy);
  if (!sync) return false;
  wl_callback_add_listener(sync.get(), &kSyncListener, &answered);
  while (!answered) {
    while (wl_display_prepare_read(display) != 0) {
      if (wl_display_dispatch_pending(display) < 0) return false;
    }
    if (answered) {
      wl_display_cancel_read(display);
      break;
    }
    if (wl_display_flush(display) < 0) {
      wl_display_cancel_read(display);
      return false;
    }
    const qint64 left = kAnswerMilliseconds - clock.elapsed();
    pollfd fd{wl_display_get_fd(display), POLLIN, 0};
    if (left <= 0 || ::poll(&fd, 1, int(left)) <= 0) {
      wl_display_cancel_read(display);
      return false;
    }
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) return false;
  }
  return true;
}

}  // namespace

QSize logicalOutputSize(const WaylandOutput& output) {
  QSize size = output.mode;
  if (output.transform % 2 == 1) size.transpose();  // a quarter turn, flipped or not
  const int by = std::max(1, output.scale);
  return QSize(size.width() / by, size.height() / by);
}

std::optional<QSize> smallestOutput(const std::vector<WaylandOutput>& outputs) {
  std::optional<QSize> smallest;
  for (const WaylandOutput& output : outputs) {
    const QSize size = logicalOutputSize(output);
    if (size.isEmpty()) continue;
    if (!smallest || qint64(size.width()) * size.height() < qint64(smallest->width()) * smallest->height())
      smallest = size;
  }
  return smallest;
}

std::optional<QSize> waylandOutputSize() {
  // wl_display_connect would fall back to "wayland-0" without the variable: only the
  // compositor the program is told about counts.
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return std::nullopt;
  std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(wl_display_connect(nullptr),
                                                                        &wl_display_disconnect);
  if (!display) return std::nullopt;
  QElapsedTimer clock;
  clock.start();
  Query query;
  query.registry = wl_display_get_registry(display.get());
  if (!query.registry) return std::nullopt;
  wl_registry_add_listener(query.registry, &kRegistryListener, &query);
  // The first answer brings the globals (and binds the outputs), the second their descriptions.
  const bool answered = roundtrip(display.get(), clock) && roundtrip(display.get(), clock);
  for (wl_output* output : query.proxies) wl_output_destroy(output);
  wl_registry_destroy(query.registry);
  if (!answered) return std::nullopt;
  return smallestOutput(query.outputs);
}

}  // namespace vardel::platform
