#!/bin/sh
# Installs Skylane for the current user, without root:
#   ~/.vst/Skylane.so, the LV2 bundle in ~/.lv2/Skylane.lv2, the tools in ~/.local/bin, their manual pages in
#   ~/.local/share/man/man1 and the relay's unit in ~/.config/systemd/user.
# usage: packaging/install-user.sh BUILD_DIR [--uninstall]
set -eu

build=${1:?usage: install-user.sh BUILD_DIR [--uninstall]}
home=${HOME:?HOME is not set}
config=${XDG_CONFIG_HOME:-$home/.config}
case $config in /*) ;; *) config=$home/.config ;; esac

plugin=$home/.vst/Skylane.so
bundle=$home/.lv2/Skylane.lv2
bin=$home/.local/bin
man=$home/.local/share/man/man1
unit=$config/systemd/user/skylane-relay.service

if [ "${2:-}" = --uninstall ]; then
  for f in "$plugin" "$bundle/Skylane.so" "$bundle/manifest.ttl" "$bundle/skylane.ttl" \
           "$bin/skylane-relay" "$bin/skylane-host" "$man/skylane-relay.1" \
           "$man/skylane-host.1" "$unit"; do
    if [ -e "$f" ]; then rm -f "$f" && echo "removed $f"; fi
  done
  rmdir "$bundle" 2>/dev/null || true
  exit 0
fi

for f in "$build/plugin/Skylane.so" "$build/lv2/Skylane.lv2/Skylane.so" \
         "$build/lv2/Skylane.lv2/manifest.ttl" "$build/lv2/Skylane.lv2/skylane.ttl" \
         "$build/relay/skylane-relay" "$build/host/skylane-host" \
         "$build/packaging/skylane-relay.1" "$build/packaging/skylane-host.1"; do
  [ -f "$f" ] || { echo "install-user: $f is missing; build first (make build)" >&2; exit 2; }
done
src=$(dirname "$0")
install -D -m 644 -s "$build/plugin/Skylane.so" "$plugin"
install -D -m 644 -s "$build/lv2/Skylane.lv2/Skylane.so" "$bundle/Skylane.so"
install -D -m 644 "$build/lv2/Skylane.lv2/manifest.ttl" "$bundle/manifest.ttl"
install -D -m 644 "$build/lv2/Skylane.lv2/skylane.ttl" "$bundle/skylane.ttl"
install -D -m 755 -s "$build/relay/skylane-relay" "$bin/skylane-relay"
install -D -m 755 -s "$build/host/skylane-host" "$bin/skylane-host"
install -D -m 644 "$build/packaging/skylane-relay.1" "$man/skylane-relay.1"
install -D -m 644 "$build/packaging/skylane-host.1" "$man/skylane-host.1"
# %h: systemd's name for the user's home folder.
mkdir -p "$(dirname "$unit")"
sed 's|@SKYLANE_BINDIR@|%h/.local/bin|' "$src/skylane-relay.service.in" > "$unit"
chmod 644 "$unit"
for f in "$plugin" "$bundle/Skylane.so" "$bundle/manifest.ttl" "$bundle/skylane.ttl" \
         "$bin/skylane-relay" "$bin/skylane-host" "$man/skylane-relay.1" "$man/skylane-host.1" \
         "$unit"; do
  echo "installed $f"
done
