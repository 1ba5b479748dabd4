# deps.sh - install the Debian packages a build needs when they are missing
# (only as root; otherwise report what is missing and go on).
need_pkg() { dpkg -s "$1" >/dev/null 2>&1; }

ensure_deps() {
  local pkgs=(g++ cmake make)
  [ "$1" = test ] && pkgs+=(libgtest-dev)
  local missing=()
  for p in "${pkgs[@]}"; do need_pkg "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
  else
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  fi
}
