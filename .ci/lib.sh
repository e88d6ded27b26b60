# Shared by .ci/run and its steps.

# Installs the named Debian packages that are not installed yet.
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    if [ ! -f /tmp/.drill-ci-apt-updated ]; then
      apt-get update -qq && touch /tmp/.drill-ci-apt-updated
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}
