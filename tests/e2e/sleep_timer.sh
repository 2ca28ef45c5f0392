#!/usr/bin/env bash
# The sleep timer's soft landing on a real X server and sound server: with --sleep 1 --fade 10
# and the beach started by Space, the sink's level falls smoothly over the last ten seconds (no
# step of more than 3 dB between 100 ms windows while it is above a twentieth of where it
# started, below which the curve reaches silence), the screen is black afterwards, and the sink's
# own volume is where it was. The surf is a steady noise there, and the other sounds silent, so
# that what is measured is the fade and not the sea's own swells. While the timer counts down,
# T and D in the program as built on a screen of its own, done well before the recording starts:
# the note, and the picture at half its brightness. Prints the fade's loudness curve.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
ensure_sound_server
read -r W H < <(screen_size)
sink_volume() { pactl get-sink-volume "$sink" | grep -o '[0-9]*%' | head -1; }
volume_before=$(sink_volume)

# A copy of the program beside its media, the pictures shared with the build.
copy_program "$binary"
rm "$program"/media/sounds/*.wav
sox -n -r 44100 -c 2 -b 16 "$program/media/sounds/170.wav" synth 20 whitenoise vol 0.2
for silent in 168 169 171; do
    sox -n -r 44100 -c 2 -b 16 "$program/media/sounds/$silent.wav" trim 0 1
done

start_program "$program/quorvane" --sleep 1 --fade 10
started=$(date +%s.%N)
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
xdotool mousemove 600 400
sleep 0.3
xdotool key space

# T shows its note low in the middle; D halves the picture's brightness.
landing_display=$DISPLAY
start_private_display "${W}x$H" || fail "no second X display"
keys_display_pid=${private_pids[-1]}
SDL_AUDIODRIVER=dummy "$binary" 2>"$e2e_tmp/keys.stderr" &
keys_pid=$!
private_pids+=("$keys_pid")
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/keys.stderr")"
xdotool mousemove 600 400
sleep 1
screenshot "$e2e_tmp/plain.ppm"
note_box="240x30+$(((W - 240) / 2))+$((H - 150))"
sky_part="600x300+100+300"
xdotool key t
sleep 0.3
screenshot "$e2e_tmp/timer_note.ppm"
note=$(convert "$e2e_tmp/timer_note.ppm" -crop "$note_box" +repage -colorspace Gray \
    -format '%[fx:maxima]' info:)
awk -v n="$note" 'BEGIN { exit !(n > 0.8) }' || fail "no note after T ($note)"
xdotool key d
sleep 0.5
screenshot "$e2e_tmp/dimmed.ppm"
plain=$(brightness "$e2e_tmp/plain.ppm" "$sky_part")
dimmed=$(brightness "$e2e_tmp/dimmed.ppm" "$sky_part")
awk -v p="$plain" -v d="$dimmed" 'BEGIN { r = d / p; exit !(r > 0.4 && r < 0.6) }' ||
    fail "D did not halve the sky ($plain -> $dimmed)"
xdotool key ctrl+q
wait_exit "$keys_pid" 5 || fail "Ctrl+Q: status $?"
kill "$keys_display_pid"
wait "$keys_display_pid" 2>/dev/null || true
export DISPLAY=$landing_display
echo "T: note shown (brightest $note); D: sky $plain -> $dimmed"
awk -v s="$started" -v now="$(date +%s.%N)" 'BEGIN { exit !(now - s < 40) }' ||
    fail "T and D took until the fade was near"

# Recorded from five seconds before the fade until a second after the timer's end.
until awk -v s="$started" -v now="$(date +%s.%N)" 'BEGIN { exit !(now - s >= 44) }'; do
    sleep 0.2
done
start_recording
until awk -v s="$started" -v now="$(date +%s.%N)" 'BEGIN { exit !(now - s >= 63) }'; do
    sleep 0.2
done
finish_recording "$e2e_tmp/fade.raw"
screenshot "$e2e_tmp/landed.ppm"
after=$(sink_loudness 1)

# Loudness in 100 ms windows, in dB against the loudest second before the fade.
python3 - "$e2e_tmp/fade.raw" <<'PY' || fail "the fade is not smooth"
import math, struct, sys
data = open(sys.argv[1], "rb").read()
samples = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
window = 4410 * 2
rms = []
for i in range(0, len(samples) - window + 1, window):
    chunk = samples[i : i + window]
    rms.append(math.sqrt(sum(s * s for s in chunk) / len(chunk)) / 32768)
start = max(sum(rms[i : i + 10]) / 10 for i in range(0, 30))
db = [20 * math.log10(max(r, 1e-7) / start) for r in rms]
print("fade, dB every second:", " ".join("%.1f" % db[i] for i in range(0, len(db), 10)))
floor = 20 * math.log10(1 / 20)
steps = [abs(db[i] - db[i - 1]) for i in range(1, len(db)) if min(db[i], db[i - 1]) > floor]
print("largest step above %.0f dB: %.2f dB" % (floor, max(steps, default=0)))
if start < 0.003:
    sys.exit("nothing heard before the fade (RMS %.4f)" % start)
if max(steps, default=0) > 3:
    sys.exit("a step of %.2f dB" % max(steps))
if max(db[-5:]) > -60:
    sys.exit("not silent at the end (%.1f dB)" % max(db[-5:]))
PY
awk -v a="$after" 'BEGIN { exit !(a < 0.0005) }' || fail "still sounding after the landing ($after)"
dark=$(brightness "$e2e_tmp/landed.ppm")
awk -v b="$dark" 'BEGIN { exit !(b < 0.001) }' || fail "the screen is not black after the landing ($dark)"
[[ $(sink_volume) == "$volume_before" ]] || fail "the sink's volume moved: $volume_before -> $(sink_volume)"
kill -0 "$program_pid" || fail "the program ended"
xdotool key ctrl+q
wait_exit "$program_pid" 5 || fail "Ctrl+Q after the landing: status $?"
echo "landing: silent (RMS $after), black ($dark), sink volume $volume_before as before"

echo "ok"
