#!/usr/bin/env bash
# Prints the main window's four charts through a real print system and checks what came out:
# a private CUPS daemon (configuration, spool, logs and socket in a temporary folder) with a
# cups-pdf queue as the default printer, tarvello-print-check printing one job per chart, then
# the four PDFs: one page each, in print order, inked where the chart's drawing box (5 % from the
# left and 20 % from the top of the printable area) puts it. Needs root (see README.md).
#
#   tools/print-check/run.sh [BUILD_DIR]      (default BUILD_DIR: <repo>/build-print)
#
# Environment: PRINT_CHECK_BIN (a built tarvello-print-check; skips the build),
# PRINT_CHECK_TIMEOUT (seconds to wait for the PDFs, default 60),
# PRINT_CHECK_SAVE (a folder that receives the PDFs and page images before the cleanup).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-$repo/build-print}
queue=TarvelloPDF
timeout=${PRINT_CHECK_TIMEOUT:-60}
packages=(cups printer-driver-cups-pdf poppler-utils)
expected_charts=("Current=f(t)" "Torque=f(t)" "Current=f(n/ns)" "Torque=f(n/ns)")
# How far, as a fraction of the paper, the ink on a printed page may lie from where the program
# expects it (text is scaled by whole font sizes, and the page image is only 100 dpi).
tolerance=0.01
# The chart's own placement: 5 % from the left and 20 % from the top of the printable area, which
# the printer's margins move a little further in on the paper.
paper_left=0.05 paper_top=0.20 paper_tolerance=0.025

problems=()
fail() { problems+=("$1"); echo "FAIL: $1"; }
step() { echo; echo "== $1"; }

# --- packages -------------------------------------------------------------------------------
step "packages"
missing=()
for p in "${packages[@]}"; do
    [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) == installed ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    install_line="apt-get install -y --no-install-recommends ${missing[*]}"
    if ((EUID != 0)); then
        echo "FAIL: missing Debian packages: ${missing[*]}"
        echo "      install them as root:  $install_line"
        exit 2
    fi
    echo "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
        # Stale package lists are the usual reason; one refresh, then one more try.
        if ! { apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"; }; then
            echo "FAIL: could not install: $install_line"
            exit 2
        fi
    fi
else
    echo "installed: ${packages[*]}"
fi
cupsd_bin=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin_bin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
lpinfo_bin=$(command -v lpinfo || echo /usr/sbin/lpinfo)
for tool in "$cupsd_bin" "$lpadmin_bin" "$lpinfo_bin" lpstat pdfinfo pdftoppm; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool not found after the install"; exit 2; }
done
if ((EUID != 0)); then
    # The cups-pdf backend is root's alone (mode 0700): only a daemon started by root can run it.
    echo "FAIL: run as root: the private cupsd must run the cups-pdf backend"
    exit 2
fi
[[ -f /etc/cups/cups-pdf.conf && -x /usr/lib/cups/backend/cups-pdf ]] || {
    echo "FAIL: the cups-pdf backend or its /etc/cups/cups-pdf.conf is missing"
    exit 2
}

# --- the program ------------------------------------------------------------------------------
step "program"
bin=${PRINT_CHECK_BIN:-}
if [[ -z $bin ]]; then
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S "$repo" -B "$build" -DTARVELLO_WERROR=ON >/dev/null || { echo "FAIL: cmake configure"; exit 1; }
    fi
    cmake --build "$build" -j2 --target tarvello-print-check | tail -n 3 || { echo "FAIL: build"; exit 1; }
    bin=$build/tools/print-check/tarvello-print-check
fi
[[ -x $bin ]] || { echo "FAIL: no program at $bin"; exit 1; }
echo "program: $bin"

# --- private CUPS daemon ------------------------------------------------------------------------
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarvello-print-check.XXXXXX") || exit 1
# Filters run as lp and must reach the spool below this folder.
chmod 755 "$tmp"
cupsd_pid=
backup=
cleanup() {
    local rc=$?
    if [[ -n $cupsd_pid ]] && kill -0 "$cupsd_pid" 2>/dev/null; then
        kill -TERM "$cupsd_pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$cupsd_pid" 2>/dev/null || break; sleep 0.2; done
        kill -0 "$cupsd_pid" 2>/dev/null && kill -KILL "$cupsd_pid" 2>/dev/null
        wait "$cupsd_pid" 2>/dev/null
        echo "stopped the private cupsd (pid $cupsd_pid)"
    fi
    if [[ -n $backup ]]; then
        cp -p "$backup" /etc/cups/cups-pdf.conf && echo "restored /etc/cups/cups-pdf.conf"
    fi
    rm -rf "$tmp"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

step "private CUPS in $tmp"
etc=$tmp/etc out=$tmp/out sock=$tmp/cups.sock
mkdir -p "$etc/ppd" "$etc/ssl" "$tmp/spool/tmp" "$tmp/cache" "$tmp/state" "$tmp/log" "$out" \
    "$tmp/cups-pdf-spool" "$tmp/fallback" "$tmp/png" "$tmp/home" "$tmp/runtime"
chmod 700 "$tmp/runtime"

cat >"$etc/cups-files.conf" <<EOF
ServerRoot $etc
RequestRoot $tmp/spool
TempDir $tmp/spool/tmp
CacheDir $tmp/cache
StateDir $tmp/state
ServerKeychain $etc/ssl
AccessLog $tmp/log/access_log
ErrorLog $tmp/log/error_log
PageLog $tmp/log/page_log
Printcap $tmp/state/printcap
SystemGroup root
FileDevice No
EOF
cat >"$etc/cupsd.conf" <<EOF
LogLevel info
MaxLogSize 0
# Only the socket in this folder: no TCP port, no browsing, nothing shared.
Listen $sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
PreserveJobHistory Yes
# A backend failure ends its job instead of stopping the queue, so the wait below ends too.
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
# cups-pdf only reads /etc/cups/cups-pdf.conf; the daemon gets this copy mounted there in a
# mount namespace of its own, so the system file is never touched. Label adds the job number to
# the file name, as the two current charts and the two torque charts share their titles; TitlePref
# takes the job's title: cleaning the PostScript one ("(Current)") leaves stray memory in the name.
# The PPD with options overrides both, so the queue gets them as defaults too. (No comments inside
# this file: with the PostScript title they leaked into the file names.)
cat >"$etc/cups-pdf.conf" <<EOF
Out $out
AnonDirName $out
Spool $tmp/cups-pdf-spool
Log $tmp/log
LogType 3
GSTmp $tmp/cups-pdf-spool
Grp root
Label 2
TitlePref 1
EOF

# Clients see this daemon only: its socket, its client configuration, no personal defaults.
export CUPS_SERVER=$sock CUPS_SERVERROOT=$etc HOME=$tmp/home XDG_RUNTIME_DIR=$tmp/runtime
export QT_QPA_PLATFORM=offscreen
unset PRINTER LPDEST CUPS_USER CUPS_ENCRYPTION

"$cupsd_bin" -t -c "$etc/cupsd.conf" -s "$etc/cups-files.conf" >"$tmp/log/config-test" 2>&1 || {
    cat "$tmp/log/config-test"
    echo "FAIL: cupsd rejects the private configuration"
    exit 1
}
if unshare --mount true 2>/dev/null; then
    # unshare and sh exec into cupsd, so $! is the daemon itself.
    # shellcheck disable=SC2016 # the inner sh expands its own arguments
    unshare --mount --propagation private sh -c \
        'mount --bind "$1" /etc/cups/cups-pdf.conf && exec "$2" -f -c "$3" -s "$4"' \
        sh "$etc/cups-pdf.conf" "$cupsd_bin" "$etc/cupsd.conf" "$etc/cups-files.conf" \
        </dev/null >"$tmp/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    echo "cups-pdf configuration: private copy mounted for the daemon only"
else
    # No mount namespaces here: the system file is swapped for the run and put back on exit.
    backup=$tmp/cups-pdf.conf.system
    cp -p /etc/cups/cups-pdf.conf "$backup" || exit 1
    cp "$etc/cups-pdf.conf" /etc/cups/cups-pdf.conf || exit 1
    "$cupsd_bin" -f -c "$etc/cupsd.conf" -s "$etc/cups-files.conf" </dev/null >"$tmp/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    echo "cups-pdf configuration: /etc/cups/cups-pdf.conf replaced for the run (backup in $backup)"
fi
for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.1
done
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    cat "$tmp/log/cupsd.out" "$tmp/log/error_log" 2>/dev/null | tail -n 20
    echo "FAIL: the private cupsd did not come up"
    exit 1
fi
echo "cupsd pid $cupsd_pid listening on $sock"

# The daemon's own sockets: none may listen on TCP.
inodes=$(find "/proc/$cupsd_pid/fd" -lname 'socket:*' -printf '%l\n' 2>/dev/null | tr -dc '0-9\n')
tcp_listeners=0
for table in /proc/net/tcp /proc/net/tcp6; do
    [[ -r $table ]] || continue
    while read -r inode; do
        [[ -n $inode ]] || continue
        awk -v i="$inode" 'NR > 1 && $4 == "0A" && $10 == i { found = 1 } END { exit !found }' "$table" &&
            tcp_listeners=$((tcp_listeners + 1))
    done <<<"$inodes"
done
if ((tcp_listeners)); then fail "the private cupsd listens on $tcp_listeners TCP socket(s)"; else echo "no TCP listener"; fi

# --- the queue ----------------------------------------------------------------------------------
step "queue $queue"
ppd=$("$lpinfo_bin" -m 2>/dev/null | grep -i pdf | grep -i 'CUPS-PDF_opt' | head -n 1 | cut -d' ' -f1)
[[ -n $ppd ]] || ppd=$("$lpinfo_bin" -m 2>/dev/null | grep -i pdf | head -n 1 | cut -d' ' -f1)
if [[ -z $ppd ]]; then
    echo "FAIL: lpinfo -m lists no cups-pdf driver"
    exit 1
fi
echo "driver: $ppd"
if ! "$lpadmin_bin" -p "$queue" -v cups-pdf:/ -m "$ppd" -o Label=2 -o TitlePref=1 -E 2>"$tmp/log/lpadmin.err"; then
    cat "$tmp/log/lpadmin.err"
    echo "FAIL: lpadmin could not add $queue"
    exit 1
fi
"$lpadmin_bin" -d "$queue" || { echo "FAIL: lpadmin -d $queue"; exit 1; }
lpstat -v "$queue"
lpstat -d
lpstat -d | grep -q ": $queue\$" || fail "$queue is not the default destination"

# --- printing ----------------------------------------------------------------------------------
step "printing the four charts"
"$bin" print "$queue" "$tmp/fallback" >"$tmp/program.out" 2>"$tmp/program.err"
program_rc=$?
cat "$tmp/program.out"
grep -v 'XDG_RUNTIME_DIR\|QStandardPaths' "$tmp/program.err" >&2
read -r _ box_left _ box_top _ box_right _ box_bottom \
    < <(sed -n 's/^drawing box:.*on the paper: //p' "$tmp/program.out")
if [[ -z ${box_top:-} ]]; then
    fail "the program gave no drawing box"
else
    awk -v l="$box_left" -v t="$box_top" -v el="$paper_left" -v et="$paper_top" -v tol="$paper_tolerance" \
        'function off(a, e) { return a - e > tol || e - a > tol } BEGIN { exit off(l, el) || off(t, et) }' ||
        fail "the drawing box starts at left $box_left, top $box_top of the paper, not about $paper_left, $paper_top"
fi
((program_rc == 0)) || fail "tarvello-print-check exited with $program_rc"
if compgen -G "$tmp/fallback/*" >/dev/null; then
    fail "pages went to the PDF fallback instead of the printer: $(ls "$tmp/fallback")"
fi

step "waiting for the PDFs (up to ${timeout} s)"
count() { find "$out" -type f -name '*.pdf' | wc -l; }
start=$SECONDS
while ((SECONDS - start < timeout)); do
    # Done when cups has no pending job left and cups-pdf wrote its files.
    if [[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && (($(count) >= 4)); then break; fi
    kill -0 "$cupsd_pid" 2>/dev/null || { fail "the private cupsd ended during the run"; break; }
    sleep 0.5
done
echo "after $((SECONDS - start)) s: $(count) PDF(s); $(lpstat -W completed -o "$queue" | wc -l) completed job(s)"
lpstat -W completed -o "$queue" | sort -t- -k2,2n
pending=$(lpstat -o "$queue")
[[ -z $pending ]] || fail "jobs still pending: $pending"
lpstat -p "$queue" | grep -q disabled && fail "the queue stopped: $(lpstat -p "$queue")"

# Job number order is print order; cups-pdf writes job_<n>-<title>.pdf.
mapfile -t pdfs < <(find "$out" -type f -name '*.pdf' -printf '%f\n' |
    sed -n 's/.*job_\([0-9]*\).*/\1 &/p' | sort -n | cut -d' ' -f2- | sed "s|^|$out/|")
((${#pdfs[@]} == 4)) || fail "expected 4 PDFs, found ${#pdfs[@]}"

step "checking the pages"
i=0
for pdf in "${pdfs[@]}"; do
    name=$(basename "$pdf")
    chart=${expected_charts[$i]:-"(unexpected)"}
    i=$((i + 1))
    pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
    size=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Page size: *//p')
    echo "$name: expected $chart; pages ${pages:-?}; page size $size"
    [[ $pages == 1 ]] || fail "$name has ${pages:-no} pages instead of 1"

    # The text of these pages is not extractable (Type 3 fonts after the PostScript round trip):
    # the job title in the file name and the job order tell which chart it is.
    [[ $name == *"${chart%%=*}"* ]] || fail "$name: job title is not ${chart%%=*}"

    png=$tmp/png/$(printf 'page%d' "$i")
    pdftoppm -r 100 -png -singlefile "$pdf" "$png" 2>/dev/null || { fail "$name: pdftoppm failed"; continue; }
    read -r _ dims _ left _ top _ right _ bottom < <("$bin" measure "$png.png" 2>/dev/null)
    if [[ -z ${left:-} || ${dims:-} == blank ]]; then
        fail "$name: the page is blank"
        continue
    fi
    read -r _ _ _ eleft _ etop _ eright _ ebottom < <(grep -F "expect $chart " "$tmp/program.out")
    awk -v d="$dims" -v l="$left" -v t="$top" -v r="$right" -v b="$bottom" \
        -v el="${eleft:-0}" -v et="${etop:-0}" -v er="${eright:-0}" -v eb="${ebottom:-0}" 'BEGIN {
        printf "  ink (%s px page image): left %5.1f %%  top %5.1f %%  right %5.1f %%  bottom %5.1f %%\n",
            d, l * 100, t * 100, r * 100, b * 100
        printf "  expected:                       left %5.1f %%  top %5.1f %%  right %5.1f %%  bottom %5.1f %%\n",
            el * 100, et * 100, er * 100, eb * 100 }'
    if [[ -z ${eleft:-} ]]; then
        fail "$name: the program gave no expected placement for $chart"
        continue
    fi
    awk -v l="$left" -v t="$top" -v r="$right" -v b="$bottom" -v el="$eleft" -v et="$etop" -v er="$eright" \
        -v eb="$ebottom" -v tol="$tolerance" 'function off(a, e) { return a - e > tol || e - a > tol }
        BEGIN { exit off(l, el) || off(t, et) || off(r, er) || off(b, eb) }' ||
        fail "$name: the ink lies at left $left top $top right $right bottom $bottom, not where expected"
done

if [[ -n ${PRINT_CHECK_SAVE:-} ]]; then
    mkdir -p "$PRINT_CHECK_SAVE" && cp "${pdfs[@]}" "$tmp"/png/*.png "$PRINT_CHECK_SAVE"/ 2>/dev/null
    echo "saved PDFs and page images in $PRINT_CHECK_SAVE"
fi
if ((${#problems[@]})); then
    for log in "$tmp/log/error_log" "$tmp/log/cups-pdf_log" "$tmp/log/cups-pdf-${queue}_log"; do
        [[ -s $log ]] && { echo "--- $(basename "$log") (last lines)"; tail -n 15 "$log"; }
    done
fi

# --- summary -----------------------------------------------------------------------------------
step "summary"
if ((${#problems[@]})); then
    echo "FAIL: ${#problems[@]} problem(s)"
    printf '  - %s\n' "${problems[@]}"
    exit 1
fi
awk -v l="$box_left" -v t="$box_top" -v r="$box_right" -v b="$box_bottom" 'BEGIN {
    printf "PASS: 4 charts printed on the default printer through a private cupsd, 4 one-page PDFs in\n"
    printf "      print order, each inked where its drawing box puts it; the box on the paper: left %.1f %%,\n",
        l * 100
    printf "      top %.1f %%, right %.1f %%, bottom %.1f %%\n", t * 100, r * 100, b * 100 }'
