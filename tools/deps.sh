# deps.sh - install the Debian packages a build needs when they are missing
# (only as root; otherwise report what is missing and go on).  The optional
# packages widen the build but are never required: without the desktop
# window's the graphics window is off-screen only, without GtkSourceView
# the editor is a plain text view, without libedit-dev the console reads
# plain lines (no editing, no history).
need_pkg() { dpkg -s "$1" >/dev/null 2>&1; }

ensure_deps() {
  local pkgs=(g++ cmake make)
  [ "$1" = test ] && pkgs+=(libgtest-dev)
  local optional=(pkg-config libgtk-3-dev libgtksourceview-4-dev libedit-dev)
  # The desktop tests run the windows on a private X server with a window
  # manager and type with xdotool; without them they report themselves
  # skipped.
  [ "$1" = test ] && optional+=(xvfb openbox xdotool x11-utils)
  local missing=() missing_opt=()
  for p in "${pkgs[@]}"; do need_pkg "$p" || missing+=("$p"); done
  for p in "${optional[@]}"; do need_pkg "$p" || missing_opt+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && [ ${#missing_opt[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq || true
    if [ ${#missing[@]} -gt 0 ]; then
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
    fi
    # One by one, so that one optional package that fails keeps no other out.
    for p in "${missing_opt[@]}"; do
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p" >&2 ||
        echo "optional package not installed: $p" >&2
    done
  else
    [ ${#missing[@]} -gt 0 ] && echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    [ ${#missing_opt[@]} -gt 0 ] && echo "optional packages missing: ${missing_opt[*]}" >&2
    return 0
  fi
}
