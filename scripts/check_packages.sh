#!/usr/bin/env bash
# Checks the Debian packages as built: lintian finds no error; unpacked into a temporary folder,
# the programs there import a game, print its statistics, open it in the window (offscreen) and
# serve it; the menu entry, the AppStream metadata, the file type, the service unit and the
# manual pages are checked as well.
#   scripts/check_packages.sh PACKAGES_DIR GAME_FILE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
packages=$1
game=$(realpath "$2")

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "check_packages: $*" >&2; exit 1; }
step() { echo "== $*"; }

debs=("$packages"/velmora_*.deb "$packages"/velmora-statserver_*.deb "$packages"/velmora-common_*.deb)
for deb in "${debs[@]}"; do [ -f "$deb" ] || fail "no package $deb"; done

step "lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "${debs[@]}"

step "unpacked into $tmp/root"
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$tmp/root"; done
bin=$tmp/root/usr/bin
data=$tmp/data
[ "$("$bin/velmora" --version)" = "velmora $(dpkg-deb -f "${debs[0]}" Version | sed 's/-[^-]*$//')" ] ||
  fail "velmora --version does not give the package's version"

step "import and statistics with the command line"
number=$("$bin/velmora-cli" --data-dir "$data" import "$game")
[ -n "$number" ] || fail "import printed no game number"
"$bin/velmora-cli" --data-dir "$data" games | grep -q "^$number"$'\t' || fail "game $number is not listed"
"$bin/velmora-cli" --data-dir "$data" stats "$number" > "$tmp/stats.json"
grep -q '"PTS"' "$tmp/stats.json" || fail "the statistics of $number hold no points"
echo "game $number: $(wc -c < "$tmp/stats.json") bytes of statistics"

step "the program opens the game offscreen"
QT_QPA_PLATFORM=offscreen "$bin/velmora" --data-dir "$data" --game "$number" > "$tmp/velmora.out" 2>&1 &
pids+=($!)
log=$data/$(date +%Y.%m.%d).log
for _ in $(seq 100); do
  grep -q "Opening game $number" "$log" 2>/dev/null && break
  kill -0 "${pids[-1]}" 2>/dev/null || fail "velmora ended: $(cat "$tmp/velmora.out")"
  sleep 0.2
done
grep -q "Opening game $number" "$log" || fail "velmora did not open game $number"
sleep 2
kill -0 "${pids[-1]}" 2>/dev/null || fail "velmora ended after opening the game: $(cat "$tmp/velmora.out")"
kill "${pids[-1]}"
! grep -qi "failed to load\|no se encuentra" "$tmp/velmora.out" || fail "$(cat "$tmp/velmora.out")"

step "the server serves the game and ends on SIGTERM"
db=$tmp/league.db
"$bin/velmora-statserver" --db "$db" adduser ana secret
"$bin/velmora-statserver" --db "$db" publish "$game" --user ana > /dev/null
"$bin/velmora-statserver" --db "$db" serve --listen 127.0.0.1:0 --threads 4 2> "$tmp/server.err" &
server=$!
pids+=("$server")
port=""
for _ in $(seq 100); do
  port=$(sed -nE 's#.*listening on http://127\.0\.0\.1:([0-9]+)/.*#\1#p' "$tmp/server.err")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the server did not listen: $(cat "$tmp/server.err")"
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET /default.asp?do=ping HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' >&3
grep -q "pong" <&3 || fail "the server did not answer the ping"
exec 3<&-
grep -qi "cannot read" "$tmp/server.err" && fail "$(cat "$tmp/server.err")"
kill -TERM "$server"
status=0
wait "$server" || status=$?
[ "$status" -eq 0 ] || fail "the server ended with status $status on SIGTERM: $(cat "$tmp/server.err")"

step "desktop entry and AppStream metadata"
desktop-file-validate "$tmp"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net "$tmp"/root/usr/share/metainfo/*.metainfo.xml

step "transfer files are known by their content"
mkdir -p "$tmp/mime/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$tmp"/root/usr/share/mime/packages/*.xml "$tmp/mime/mime/packages/"
update-mime-database "$tmp/mime/mime"
cp "$game" "$tmp/game.log"
echo "12:00:01 Program started" > "$tmp/other.log"
type_of() { XDG_DATA_HOME=$tmp/mime XDG_DATA_DIRS=$tmp/mime gio info -a standard::content-type "$1" | awk '/content-type/ { print $2 }'; }
[ "$(type_of "$tmp/game.log")" = application/x-velmora-game ] || fail "a transfer file is $(type_of "$tmp/game.log")"
[ "$(type_of "$tmp/other.log")" = text/x-log ] || fail "another log file is $(type_of "$tmp/other.log")"
grep -q "^MimeType=application/x-velmora-game;" "$tmp"/root/usr/share/applications/*.desktop || fail "no MimeType"

step "service unit"
unit=$tmp/root/usr/lib/systemd/system/velmora-statserver.service
sed "s#/usr/bin/velmora-statserver#$bin/velmora-statserver#" "$unit" > "$tmp/velmora-statserver.service"
verdict=$(systemd-analyze verify --man=no "$tmp/velmora-statserver.service" 2>&1)
[ -z "$verdict" ] || fail "$verdict"
# The threshold is in tenths of the exposure level it prints (2.0 of 10 here).
systemd-analyze security --offline=true --root="$tmp/root" --threshold=20 velmora-statserver.service | tail -1
[ -f "$tmp/root/etc/default/velmora-statserver" ] || fail "no settings file"
dpkg-deb --ctrl-tarfile "${debs[1]}" | tar -xO ./conffiles | grep -qx /etc/default/velmora-statserver ||
  fail "the settings file is no conffile"

step "manual pages"
"$here/check_man_pages.sh" "$tmp/root/usr/share/man/man1" "$bin"
echo "packages: all checks passed"
