#!/usr/bin/env bash
# Runs the browser control's tests on a real Xvfb at 800x600 (no window manager).
source "$(dirname "$0")/../e2e/lib.sh"
e2e_start_xvfb 800x600
export QT_QPA_PLATFORM=xcb
log="$E2E_DIR/browser_control_test.log"
status=0
XDG_DATA_HOME="$E2E_DIR/data" "$VARDEL_BINARY_DIR/tests/browser_control_test" --gtest_color=no >"$log" 2>&1 || status=$?
grep -E '^\[ +(OK|FAILED|PASSED|SKIPPED) |Failure|Expected|Actual|Which is' "$log" || true
[ "$status" = 0 ] || e2e_fail "browser control tests failed ($status), see $log"
e2e_log "ok"
