/* A stand-in for the game, for the tests of starting it and finding it again. It takes no
 * arguments (the magazine passes none); the environment says what it does:
 *   VARDEL_FAKE_GAME         "window" (default): shows a window and waits to be killed;
 *                            "exit": ends with status 3; "crash": dies of SIGSEGV;
 *                            "idle": waits to be killed without any window
 *   VARDEL_FAKE_GAME_CAPTION the window's caption (default "Tumblo de ONDRAVIA Magazine")
 *   VARDEL_FAKE_GAME_DELAY   milliseconds to spend busy before that (default 0)
 *   VARDEL_FAKE_GAME_REPORT  a file (relative to its current folder) into which it first writes
 *                            what it inherited: its folder, priority, session, standard input and
 *                            every other open file */
#include <dirent.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static const char* env(const char* name, const char* fallback) {
  const char* value = getenv(name);
  return value && *value ? value : fallback;
}

static void report(const char* file) {
  FILE* out = fopen(file, "w");
  if (!out) return;
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer)) fprintf(out, "folder=%s\n", buffer);
  fprintf(out, "pid=%d\n", (int)getpid());
  fprintf(out, "nice=%d\n", getpriority(PRIO_PROCESS, 0));
  fprintf(out, "session=%s\n", getsid(0) == getpid() ? "own" : "shared");
  ssize_t n = readlink("/proc/self/fd/0", buffer, sizeof buffer - 1);
  buffer[n > 0 ? n : 0] = 0;
  fprintf(out, "stdin=%s\n", buffer);
  int own = fileno(out);
  DIR* fds = opendir("/proc/self/fd");
  int listing = fds ? dirfd(fds) : -1;
  struct dirent* entry;
  while (fds && (entry = readdir(fds))) {
    int fd = atoi(entry->d_name);
    if (entry->d_name[0] == '.' || fd <= 2 || fd == own || fd == listing) continue;
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    n = readlink(link, buffer, sizeof buffer - 1);
    buffer[n > 0 ? n : 0] = 0;
    fprintf(out, "open=%d %s\n", fd, buffer);
  }
  if (fds) closedir(fds);
  fclose(out);
}

static void busy(long milliseconds) {
  struct timespec start, now;
  clock_gettime(CLOCK_MONOTONIC, &start);
  do {
    clock_gettime(CLOCK_MONOTONIC, &now);
  } while ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000 < milliseconds);
}

static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
  xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
  free(r);
  return a;
}

int main(void) {
  const char* mode = env("VARDEL_FAKE_GAME", "window");
  const char* reportFile = getenv("VARDEL_FAKE_GAME_REPORT");
  if (reportFile && *reportFile) report(reportFile);
  busy(atol(env("VARDEL_FAKE_GAME_DELAY", "0")));
  if (strcmp(mode, "exit") == 0) return 3;
  if (strcmp(mode, "crash") == 0) raise(SIGSEGV);
  if (strcmp(mode, "idle") == 0) {
    for (;;) pause();
  }
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) {
    fprintf(stderr, "fake_game: cannot open the display %s\n", env("DISPLAY", "(none)"));
    return 4;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_window_t window = xcb_generate_id(c);
  uint32_t values[] = {screen->white_pixel};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 200, 150, 400, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL, values);
  const char* caption = env("VARDEL_FAKE_GAME_CAPTION", "Tumblo de ONDRAVIA Magazine");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, (uint32_t)strlen(caption),
                      caption);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 8,
                      (uint32_t)strlen(caption), caption);
  uint32_t pid = (uint32_t)getpid();
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
  xcb_map_window(c, window);
  xcb_flush(c);
  xcb_generic_event_t* event;
  while ((event = xcb_wait_for_event(c))) free(event);
  return 0;
}
