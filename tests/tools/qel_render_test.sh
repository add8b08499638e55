#!/usr/bin/env bash
# qel-render from the command line: refusals that leave no file, names that
# round-trip, PNG posters and zoom frames that are exact pictures of their
# own views, and a stop with Ctrl+C that leaves nothing behind.
set -u
TOOL="$1"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
source "$(dirname "$0")/checks.sh"
refused() { # args... : exit status 2, one line on stderr, nothing written
    mkdir -p "$DIR/bad"
    "$TOOL" "$@" 2>"$DIR/err" >/dev/null
    local status=$?
    [ "$status" -eq 2 ] && [ "$(wc -l <"$DIR/err")" -eq 1 ] && [ -z "$(ls -A "$DIR/bad")" ]
}
says() { grep -q -- "$1" "$DIR/err"; }
interrupted() { # args... : Ctrl+C a second after the start; the exit status in $status
    "$TOOL" "$@" 2>"$DIR/err" &
    local pid=$!
    sleep 1
    kill -INT "$pid"
    (sleep 30; kill -KILL "$pid" 2>/dev/null) &
    local guard=$!
    wait "$pid"; status=$?
    kill "$guard" 2>/dev/null
}

check "a method beyond 4 is refused" refused --method 5 --out "$DIR/bad/x.bmp"
check "a magnification below 0.1 is refused" refused --mag 0.05 --out "$DIR/bad/x.bmp"
check "a fractional iteration count is refused" refused --maxiter 2.5 --out "$DIR/bad/x.bmp"
check "a missing value is refused as missing" eval 'refused --cx && says "value missing"'
check "a lone unknown option is refused as unknown" eval 'refused --frobnicate && says "unknown option \"--frobnicate\""'
check "an option given twice is refused as such" eval 'refused --cx 1 --cx 2 --out "$DIR/bad/x.bmp" && says "given twice"'
check "a missing --out is refused" refused --mag 2
check "a constant without the Julia set is refused" refused --jre 0.1 --jim 0 --out "$DIR/bad/x.bmp"
check "a name without a view is refused" refused --name photo.bmp --out "$DIR/bad/x.bmp"
check "a hexadecimal number is refused" refused --cx 0x1p3 --out "$DIR/bad/x.bmp"
check "a number with a leading blank is refused" refused --cy " 1" --out "$DIR/bad/x.bmp"
check "a centre beyond a double is refused" refused --cx 1e400 --out "$DIR/bad/x.bmp"
check "a magnification beyond 1E+10000 is refused" refused --mag 1E+10001 --out "$DIR/bad/x.bmp"
# At the root of the period-3 component the orbit of 0 neither escapes nor
# comes back: 10^15 of its values fit in no machine's memory. At the
# component's nucleus it comes back after three, and any limit draws.
check "a deep view whose reference would not fit in memory is refused" \
    eval 'refused --cx -1.75 --mag 1E20 --maxiter 1e15 --out "$DIR/bad/x.png" && says "iterations fit"'
check "a deep view at a nucleus draws at any limit" \
    eval '"$TOOL" --cx -1.7548776662466927600495 --mag 1E20 --maxiter 1e15 --quiet --out "$DIR/nucleus.png" && test -s "$DIR/nucleus.png"'
check "a location file is written whatever memory its drawing would need" \
    eval '"$TOOL" --cx -1.75 --mag 1E20 --maxiter 1e15 --out "$DIR/root.kfr" && grep -q "Iterations: 1000000000000000" "$DIR/root.kfr"'
# Deep views are read with every digit and drawn under the name that
# carries them.
drawn() { # folder, name, args... : the picture is written under that name
    local folder="$1" name="$2"
    mkdir -p "$DIR/$folder"
    shift 2
    "$TOOL" "$@" --quiet --out "$DIR/$folder/" >/dev/null 2>&1 && test -s "$DIR/$folder/$name"
}
check "a deep view is drawn under the name with the digits its magnification needs" \
    drawn deep1 M0s1E+1000x0y1k500t1.bmp --cx 0 --cy 1 --mag 1E1000
deep="M1s1E+40x-1p741234567890123456789012345678901234567y0k100t1.bmp"
check "a deep name comes back whole" drawn deep2 "$deep" --name "my $deep"
check "long options come back as the name's texts" drawn deep3 "$deep" \
    --method 1 --cx -1.7412345678901234567890123456789012345670000 --mag 1e+40 --maxiter 100
check "a magnification whose pixels coincide is deep" drawn deep4 M0s1E+16x-0p75y0k500t1.bmp --cx -0.75 --mag 1e16
check "a scale whose pixels coincide is refused" refused --cx -0.75 --mag 1e14 --scale 64 --out "$DIR/bad/x.png"
check "scale 0 is refused" refused --scale 0 --out "$DIR/bad/x.png"
check "scale 65 is refused" refused --scale 65 --out "$DIR/bad/x.png"
check "supersample 9 is refused" refused --supersample 9 --out "$DIR/bad/x.png"
check "a single frame is refused" refused --frames 1 --out "$DIR/bad/"
check "an unknown extension is refused" refused --out "$DIR/bad/x.jpg"
check "a bitmap beyond 4 GiB is refused" refused --scale 64 --method 1 --out "$DIR/bad/x.bmp"

"$TOOL" --help >"$DIR/help"; status=$?
check "--help prints the usage and succeeds" eval '[ $status -eq 0 ] && grep -q -- "--supersample" "$DIR/help" && grep -q -- "--minibrot" "$DIR/help"'
check "--version succeeds" eval '"$TOOL" --version | grep -q "^qel-render"'
"$TOOL" --out "$DIR/missing/x.bmp" 2>"$DIR/err"; status=$?
check "a failed write gives the system's reason" eval '[ $status -eq 1 ] && says "No such file or directory"'

for name in M0s1x0y0k500t1.bmp M1s8x-0p75y0p1k1000t1.bmp J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp; do
    "$TOOL" --name "$name" --out "$DIR/" >/dev/null 2>&1
    check "$name comes back under its own name" test -s "$DIR/$name"
done
check "the visible picture is 800 x 600 at 24 bits" test "$(stat -c %s "$DIR/M0s1x0y0k500t1.bmp")" -eq $((54 + 800 * 600 * 3))

"$TOOL" --out "$DIR/engine.bmp" --surface --method 2 --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --t 2.5
check "the whole surface is 1600 x 1200" test "$(stat -c %s "$DIR/engine.bmp")" -eq $((54 + 1600 * 1200 * 3))
"$TOOL" --out "$DIR/start.bmp"
check "the defaults draw the start view" cmp -s "$DIR/start.bmp" "$DIR/M0s1x0y0k500t1.bmp"

"$TOOL" --name M1s8x-0p75y0p1k1000t1.bmp --scale 2 --out "$DIR/poster.png"
check "a poster carries its view's name" grep -q -a "M1s8x-0p75y0p1k1000t1.bmp" "$DIR/poster.png"

# Frames from magnification 1 to 8: the first and the last are the pictures
# of those views, the middle one the picture of the name it carries.
"$TOOL" --name M1s8x-0p75y0p1k1000t1.bmp --frames 3 --out "$DIR/film/"
"$TOOL" --name M1s8x-0p75y0p1k1000t1.bmp --out "$DIR/last.png"
"$TOOL" --name M1s1x-0p75y0p1k1000t1.bmp --out "$DIR/first.png"
middle="$(grep -a -o "M1s[0-9p]*x-0p75y0p1k1000t1.bmp" "$DIR/film/frame-0002.png")"
"$TOOL" --name "$middle" --out "$DIR/middle.png"
check "the last frame is the view's picture" cmp -s "$DIR/film/frame-0003.png" "$DIR/last.png"
check "the first frame is the view at magnification 1" cmp -s "$DIR/film/frame-0001.png" "$DIR/first.png"
check "a middle frame ($middle) is the picture of its own view" cmp -s "$DIR/film/frame-0002.png" "$DIR/middle.png"
# A deep view's film: the middle frame, at 1E+15, is deep too.
deep="M0s1E+30x-0p228155493653961819214572014099y1p11514250803993735974576463632k300t1.bmp"
"$TOOL" --name "$deep" --frames 3 --quiet --out "$DIR/deepfilm/"
"$TOOL" --name "$deep" --quiet --out "$DIR/deeplast.png"
middle="$(grep -a -o "M0s[0-9]*x-0p[0-9]*y1p[0-9]*k300t1.bmp" "$DIR/deepfilm/frame-0002.png")"
"$TOOL" --name "$middle" --quiet --out "$DIR/deepmiddle.png"
check "a deep film ends in the view's picture" cmp -s "$DIR/deepfilm/frame-0003.png" "$DIR/deeplast.png"
check "a deep film's middle frame ($middle) is the picture of its own deep view" eval \
    '[ ${#middle} -gt 40 ] && cmp -s "$DIR/deepfilm/frame-0002.png" "$DIR/deepmiddle.png"'
# Locations of Kalles Fraktaler files: written as CRLF lines, read back to
# the same view, drawn as --cx, --cy, --mag and --maxiter would draw them.
mkdir -p "$DIR/kfr"
"$TOOL" --cx -0.75 --cy 0.1 --mag 8 --maxiter 1000 --out "$DIR/kfr/a.kfr"
check "a location is written as CRLF lines of Re, Im, Zoom and Iterations" eval \
    '[ "$(cat "$DIR/kfr/a.kfr")" = "$(printf "Re: -0.75\r\nIm: 0.1\r\nZoom: 10.666666666666666667\r\nIterations: 1000\r")" ]'
"$TOOL" --kfr "$DIR/kfr/a.kfr" --out "$DIR/kfr/again.kfr"
check "a location read and written again is the same file" cmp -s "$DIR/kfr/a.kfr" "$DIR/kfr/again.kfr"
check "a location is drawn under the name of its view" drawn kfr1 M2s8x-0p75y0p1k1000t1.bmp --kfr "$DIR/kfr/a.kfr" --method 2
check "--maxiter takes the place of the file's Iterations" drawn kfr2 M0s8x-0p75y0p1k64t1.bmp --kfr "$DIR/kfr/a.kfr" --maxiter 64
"$TOOL" --name "$deep" --out "$DIR/kfr/deep.kfr"
"$TOOL" --kfr "$DIR/kfr/deep.kfr" --out "$DIR/kfr/deep-again.kfr"
check "a deep location comes back with every digit" eval \
    '[ "$(head -n 1 "$DIR/kfr/deep.kfr")" = "$(printf "Re: -0.228155493653961819214572014099\r")" ] &&
     cmp -s "$DIR/kfr/deep.kfr" "$DIR/kfr/deep-again.kfr"'
check "a deep location is drawn under its saved name" drawn kfr3 "$deep" --kfr "$DIR/kfr/deep.kfr" --maxiter 300
head -c 2000 /dev/urandom >"$DIR/kfr/binary.kfr"
check "a binary file is refused" refused --kfr "$DIR/kfr/binary.kfr" --out "$DIR/bad/x.bmp"
check "a missing location file is refused" refused --kfr "$DIR/kfr/missing.kfr" --out "$DIR/bad/x.bmp"
check "--kfr goes without --mag" refused --kfr "$DIR/kfr/a.kfr" --mag 2 --out "$DIR/bad/x.bmp"
check "a Julia set has no location file" refused --set J --out "$DIR/bad/x.kfr"
check "a location file holds no frames" refused --frames 3 --out "$DIR/bad/x.kfr"

# The window's colourings stay exactly as they were: the bitmaps of a
# still, a Julia poster with samples and a deep still and poster, as they
# were first written.
classic() { # expected sha256, args...
    local sum="$1"; shift
    "$TOOL" --quiet --out "$DIR/classic.bmp" "$@" && [ "$(sha256sum <"$DIR/classic.bmp" | cut -d" " -f1)" = "$sum" ]
}
spiral="0s1E+30x-0p228155493653961819214572014099y1p11514250803993735974576463632k300t1.bmp"
check "a still in the window's colourings is the same picture as ever" \
    classic 575ede6d998716729714e83fabb4e6e5339aa99b319c49928fefd039163f93c9 --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --t 2.5
check "a supersampled Julia poster is the same picture as ever" \
    classic be9d1e589aaf71be7e3a10016849da6033887d324de046e0502ed180452dbcf7 --method 3 --scale 2 --supersample 2 \
    --set J --jre -0.8 --jim 0.156 --maxiter 200
check "a deep still is the same picture as ever" classic c931e4809094177bcbccd017242a780b16b7d9fe3767c2d4907bfca4d4f688d7 \
    --name "M$spiral"
check "a deep supersampled poster is the same picture as ever" \
    classic 2414697d73b9e049fa2bd0215081a44b040ba1a41877b013592bbb5a605a50ca --name "M4${spiral#0}" --scale 2 --supersample 2
check "--colouring classic is the default" classic 575ede6d998716729714e83fabb4e6e5339aa99b319c49928fefd039163f93c9 \
    --colouring classic --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --t 2.5

# The smooth colouring: one full-size picture, its colours from the
# palette, the same view's poster in the same colours, refusals of bad
# palettes and of what it cannot go with.
mkdir -p "$DIR/smooth"
"$TOOL" --quiet --colouring smooth --name "M$spiral" --out "$DIR/smooth/deep.bmp"
check "a smooth picture is a full-size 800 x 600 picture" \
    test "$(stat -c %s "$DIR/smooth/deep.bmp")" -eq $((54 + 800 * 600 * 3))
"$TOOL" --quiet --name "M$spiral" --out "$DIR/smooth/classic.bmp"
check "a smooth picture is not the classic one" eval '! cmp -s "$DIR/smooth/deep.bmp" "$DIR/smooth/classic.bmp"'
"$TOOL" --quiet --colouring smooth --name "M$spiral" --out "$DIR/smooth/"
check "a smooth picture in a folder takes the name of method 1" test -s "$DIR/smooth/M1${spiral#0}"
# At 1E60 and 100,000 iterations the window's grey shows some 30 levels;
# the smooth colouring spreads the view's counts over its palette.
"$TOOL" --quiet --colouring smooth --out "$DIR/smooth/m60.bmp" --mag 1E60 --maxiter 100000 \
    --cx -0.2281554936539618192145720140991260067373983511745103225589332560452853230060736205736519586530696334673825993534428079565790 \
    --cy 1.115142508039937359745764636315014068188778090467965436990650396521121903490164813146425591235787256273611163303994940569419
check "a deep view at 100,000 iterations has over 1000 colours in the smooth colouring" \
    test "$(tail -c +55 "$DIR/smooth/m60.bmp" | od -An -v -tu1 -w3 | sort -u | wc -l)" -gt 1000
printf '# red and blue\n#ff0000\n0 0 255\ninterior 0 255 0\n' >"$DIR/smooth/rb.txt"
"$TOOL" --quiet --colouring smooth --palette "$DIR/smooth/rb.txt" --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 \
    --out "$DIR/smooth/rb.bmp"
# Every pixel is red, blue or between, or the interior's green.
pixels_of() { tail -c +55 "$1" | od -An -v -tu1 -w3; }
check "a palette's colours are the picture's" eval \
    '[ "$(pixels_of "$DIR/smooth/rb.bmp" | awk "!(\$2 == 0 || (\$1 == 0 && \$2 == 255 && \$3 == 0)) { bad++ } END { print bad + 0 }")" = 0 ] &&
     pixels_of "$DIR/smooth/rb.bmp" | grep -q "^ *0 *255 *0$"'
"$TOOL" --quiet --colouring smooth --palette "$DIR/smooth/rb.txt" --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 \
    --scale 2 --out "$DIR/smooth/rb2.bmp"
# Every second pixel of every second row of the poster is the still's (a
# bitmap's rows go from the bottom up).
check "a poster at scale 2 has the still's colours at the still's points" eval \
    '[ "$(stat -c %s "$DIR/smooth/rb2.bmp")" -eq $((54 + 1600 * 1200 * 3)) ] &&
     [ "$(pixels_of "$DIR/smooth/rb2.bmp" | awk "int((NR - 1) / 1600) % 2 == 1 && (NR - 1) % 2 == 0" | md5sum)" = "$(pixels_of "$DIR/smooth/rb.bmp" | md5sum)" ]'
"$TOOL" --quiet --colouring smooth --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --frames 3 --out "$DIR/smooth/film/"
# The frames' range runs from the first frame's own to the last frame's:
# those two are the stills of their own views.
"$TOOL" --quiet --colouring smooth --cx -0.75 --cy 0.1 --mag 1 --maxiter 300 --out "$DIR/smooth/first.png"
"$TOOL" --quiet --colouring smooth --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --out "$DIR/smooth/last.png"
check "the first smooth frame is the smooth still of its view" \
    cmp -s "$DIR/smooth/film/frame-0001.png" "$DIR/smooth/first.png"
check "the last smooth frame is the smooth still of its view" \
    cmp -s "$DIR/smooth/film/frame-0003.png" "$DIR/smooth/last.png"
printf '#000000\n' >"$DIR/smooth/one.txt"
printf '#000000\n#12345\n' >"$DIR/smooth/bad.txt"
check "a palette of one colour is refused" eval \
    'refused --colouring smooth --palette "$DIR/smooth/one.txt" --out "$DIR/bad/x.png" && says "at least 2"'
check "a bad palette line is refused by its number" eval \
    'refused --colouring smooth --palette "$DIR/smooth/bad.txt" --out "$DIR/bad/x.png" && says "line 2"'
check "a missing palette is refused" refused --colouring smooth --palette "$DIR/smooth/missing.txt" --out "$DIR/bad/x.png"
check "--palette goes with --colouring smooth" eval \
    'refused --palette "$DIR/smooth/rb.txt" --out "$DIR/bad/x.png" && says "goes with --colouring smooth"'
check "an unknown colouring is refused" eval 'refused --colouring fancy --out "$DIR/bad/x.png" && says "classic or smooth"'
check "the window's surface has no smooth colouring" refused --colouring smooth --surface --out "$DIR/bad/x.png"
check "a location file has no colouring" refused --colouring smooth --out "$DIR/bad/x.kfr"

# A write that fails midway (a file size limit stands in for a full disk):
# the failure is reported, the file under the name stays as it was, and no
# temporary file is left beside it. A split PNG fails first where its lower
# half is compressed aside, on a thread of its own. A writer that hangs
# instead is killed after a minute, and fails.
for job in "png 1" "bmp 1" "png 0"; do
    read -r ext method <<<"$job"
    out="$DIR/full-$ext-$method"
    mkdir "$out"
    echo "earlier" >"$out/p.$ext"
    (ulimit -f 64; trap '' XFSZ; exec timeout -s KILL 60 "$TOOL" --quiet --scale 4 --method "$method" --out "$out/p.$ext") 2>"$DIR/err"
    status=$?
    check "a $ext write (method $method) failing midway fails, says why and leaves the earlier file alone" eval \
        '[ $status -eq 1 ] && says "File too large" && [ "$(cat "$out/p.$ext")" = earlier ] &&
         [ "$(ls -A "$out")" = "p.$ext" ]'
done

# --minibrot: from the view's centre to the view of the nearest minibrot,
# drawn under the name the window would save it under, which is printed as
# the last line and draws the same picture again.
mkdir -p "$DIR/mb" "$DIR/stop"
name="$("$TOOL" --cx -1.76 --cy 0.01 --minibrot --quiet --out "$DIR/mb/" | tail -n 1)"
check "--minibrot beside the period-3 minibrot names the view centred on its nucleus" eval \
    '[[ "$name" == M0s*x-1p75487766624669y0k500t1.bmp ]] && test -s "$DIR/mb/$name"'
"$TOOL" --name "$name" --quiet --out "$DIR/mb/again.bmp"
check "the printed name draws the same picture" cmp -s "$DIR/mb/$name" "$DIR/mb/again.bmp"
deep="M1s1E50x-0p228155493653961819214571911079442766474976755430311573169897482722018y1p115142508039937359745764640832234267794109320433828487826183396954704k400t1.bmp"
name="$("$TOOL" --name "$deep" --minibrot --quiet --out "$DIR/mb/deep.png" | tail -n 1)"
check "a deep view's minibrot of period 53 gets 20 times 53 iterations" eval \
    '[[ "$name" == M1s*E+49x-0p2281554936539618192145719110794427664749767554303115*y1p11514250803993735974576464083223426779410932043382*k1060t1.bmp ]] && test -s "$DIR/mb/deep.png"'
"$TOOL" --cx -1.76 --cy 0.01 --minibrot --out "$DIR/mb/p3.kfr" >/dev/null
check "--minibrot with --out FILE.kfr writes the found view's location" grep -q "^Re: -1.75487766624669" "$DIR/mb/p3.kfr"
check "--minibrot on a Julia set is refused" eval 'refused --set J --minibrot --out "$DIR/bad/x.bmp" && says "Julia"'
"$TOOL" --cx 1.5 --cy 1.4 --minibrot --out "$DIR/bad/x.bmp" 2>"$DIR/err" >"$DIR/out"; status=$?
check "far outside the set --minibrot finds none, fails and writes nothing" eval \
    '[ $status -eq 1 ] && says "no minibrot" && [ -z "$(ls -A "$DIR/bad")" ] && [ ! -s "$DIR/out" ]'
interrupted --cx -0.3 --cy 0.2 --mag 1E3000 --maxiter 4000000 --minibrot --out "$DIR/stop/"
check "Ctrl+C stops the search for the minibrot and leaves no file" eval \
    '[ $status -eq 130 ] && says "stopped" && [ -z "$(ls -A "$DIR/stop")" ]'

# Ctrl+C during a long drawing: the drawing stops, nothing stays behind,
# also where a split picture's lower half is being compressed aside.
interrupted --cx -0.2 --mag 10 --maxiter 100000 --scale 64 --method 0 --out "$DIR/stop/p.png"
check "Ctrl+C stops the drawing and leaves no file" eval '[ $status -eq 130 ] && says "stopped" && [ -z "$(ls -A "$DIR/stop")" ]'

interrupted --colouring smooth --cx -0.75 --cy 0 --mag 1000 --maxiter 1000000000 --out "$DIR/stop/s.png"
check "Ctrl+C stops a smooth picture, while its range is found or after, and leaves no file" eval \
    '[ $status -eq 130 ] && says "stopped" && [ -z "$(ls -A "$DIR/stop")" ]'

# Films: refusals before anything is written, a small film that ffprobe
# reads back frame for frame, its last frame drawn exactly as the window's
# picture, and Ctrl+C midway leaving a film that plays up to the frame it
# names.
check "a film of the split picture is refused" eval 'refused --film 1 --method 0 --out "$DIR/bad/f.mp4" && says "one colouring"'
check "a film with --frames is refused" refused --film 1 --frames 3 --out "$DIR/bad/f.mp4"
check "a film into a picture file is refused" eval 'refused --film 1 --out "$DIR/bad/f.png" && says ".mp4, .mkv or .webm"'
check "one frame of a film into a video file is refused" refused --film 1 --film-frame 2 --out "$DIR/bad/f.mp4"
check "a frame beyond the film is refused" eval 'refused --film 1 --fps 10 --film-frame 11 --out "$DIR/bad/f.png" && says "10 frames"'
check "an odd film size is refused" eval 'refused --film 1 --size 641x480 --out "$DIR/bad/f.mp4" && says "even"'
check "a film larger than 3840x2160 is refused" refused --film 1 --size 3842x2160 --out "$DIR/bad/f.mp4"
check "a size without x is refused" refused --film 1 --size 640 --out "$DIR/bad/f.mp4"
check "no frames a second is refused" refused --film 1 --fps 0 --out "$DIR/bad/f.mp4"
check "a film of one frame is refused" eval 'refused --film 0.01 --out "$DIR/bad/f.mp4" && says "frames"'
check "a film starting deeper than the view is refused" eval 'refused --mag 100 --film 1 --from 1000 --out "$DIR/bad/f.mp4" && says "from 0.1"'
check "--from without --film is refused" eval 'refused --from 2 --out "$DIR/bad/x.png" && says "goes with --film"'
check "--supersample on a whole film is refused" refused --film 1 --supersample 2 --out "$DIR/bad/f.mp4"
probe() { # file: codec, width, height, rate and frames read, one line
    ffprobe -v error -count_frames -select_streams v:0 -show_entries \
        stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$1"
}
mkdir -p "$DIR/films"
"$TOOL" --cx -0.75 --cy 0.1 --mag 1E6 --maxiter 3000 --film 1.5 --fps 12 --size 96x64 --out "$DIR/films/z.mp4" \
    2>"$DIR/err"
check "a film in MP4 is H.264 with every frame at its size and rate" eval \
    '[ "$(probe "$DIR/films/z.mp4")" = "h264,96,64,12/1,18" ] && says "18 frames from 21 keyframes"'
"$TOOL" --cx -0.75 --cy 0.1 --mag 1E3 --method 2 --film 1 --fps 8 --size 64x48 --quiet --out "$DIR/films/z.webm" 2>/dev/null
check "a film in WebM is VP9" eval '[ "$(probe "$DIR/films/z.webm")" = "vp9,64,48,8/1,8" ]'
"$TOOL" --cx -0.75 --cy 0.1 --mag 1E3 --film 1 --fps 8 --size 64x48 --quiet --out "$DIR/films/z.mkv" 2>/dev/null
check "a film in Matroska is H.264" eval '[ "$(probe "$DIR/films/z.mkv")" = "h264,64,48,8/1,8" ]'
"$TOOL" --cx -0.75 --cy 0.1 --mag 1E3 --film 1 --fps 8 --size 64x48 --full-colour --quiet --out "$DIR/films/full.mp4" \
    2>/dev/null
check "a film in full colour keeps the colour of every pixel" eval \
    '[ "$(ffprobe -v error -select_streams v:0 -show_entries stream=pix_fmt -of csv=p=0 "$DIR/films/full.mp4")" = yuv444p ]'
check "--full-colour without --film is refused" eval 'refused --full-colour --out "$DIR/bad/x.png" && says "goes with --film"'
printf '#000000\n#FFFFFF\n' >"$DIR/films/grey.txt"
"$TOOL" --cx -0.75 --cy 0.1 --mag 1E3 --film 1 --fps 8 --size 64x48 --palette "$DIR/films/grey.txt" --quiet \
    --out "$DIR/films/grey.mp4" 2>/dev/null
check "a film, smooth by default, takes a palette without --colouring smooth" \
    eval '[ "$(probe "$DIR/films/grey.mp4")" = "h264,64,48,8/1,8" ]'
check "a film in a window's colouring takes no palette" \
    eval 'refused --film 1 --method 1 --palette "$DIR/films/grey.txt" --out "$DIR/bad/f.mp4" && says "palette"'
"$TOOL" --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --method 1 --out "$DIR/films/window.png"
"$TOOL" --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --method 1 --film 1 --fps 10 --film-frame 10 \
    --out "$DIR/films/last.png"
check "a film's last frame drawn exactly at the window's size is the window's picture" \
    cmp -s "$DIR/films/window.png" "$DIR/films/last.png"
mkdir -p "$DIR/filmstop"
interrupted --cx -0.75 --cy 0.1 --mag 1E3 --film 200 --size 160x120 --out "$DIR/filmstop/z.mkv"
kept="$(sed -n 's/.*plays up to frame \([0-9]*\) of 6000.*/\1/p' "$DIR/err")"
check "Ctrl+C ends a film after a frame and says how far it plays" eval \
    '[ $status -ne 0 ] && says "stopped after $kept frames" && [ "$kept" -gt 0 ] && [ "$kept" -lt 6000 ]'
check "the stopped film holds every frame it says" eval '[ "$(probe "$DIR/filmstop/z.mkv")" = "h264,160,120,30/1,$kept" ]'
# A file that cannot grow beyond 200 kB, as on a full disk.
(trap '' XFSZ; ulimit -f 200; "$TOOL" --cx -0.75 --cy 0.1 --mag 1E3 --method 1 --film 20 --size 320x240 \
    --out "$DIR/films/full.mp4" 2>"$DIR/err"); status=$?
held="$(sed -n 's/.*plays at least its first \([0-9]*\) frames.*/\1/p' "$DIR/err")"
frames="$(ffprobe -v quiet -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 \
    "$DIR/films/full.mp4")"
check "a film that cannot be written whole fails and says how many frames surely play" eval \
    '[ $status -eq 1 ] && [ "$held" -gt 0 ] && [ "$frames" -ge "$held" ]'

checks_done
