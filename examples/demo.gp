# Pictures of the demo: the dispersion curve recovered by vantor beside the
# true one, and gauger's windowed RMS of a station record.
#
# gnuplot -e "dir='WORKDIR'; out='demo.png'" examples/demo.gp
#
# WORKDIR holds true_velocity.txt (frequency, true velocity), spac.out and
# ratio.out (vantor's output for the SPAC coefficients and the power
# ratios) and rms_u.txt (gauger's result file: a parameter line, then
# window start time and RMS ratio).

if (!exists("dir")) dir = "."
if (!exists("out")) out = "demo.png"

if (strstrt(GPVAL_TERMINALS, "pngcairo") > 0) {
  set terminal pngcairo size 900,1000 font ",11"
} else {
  set terminal png size 900,1000
}
set output out
set multiplot layout 2,1

# vantor writes 999 (NO_ROOT) or a text mark where no velocity was found.
velocity(v) = (v < 999.0 ? v : NaN)

set title "Phase velocity recovered by vantor from synthetic array observations"
set xlabel "frequency (Hz)"
set ylabel "phase velocity (m/s)"
set grid
set key top right
set offsets 0.5, 0.5, 0, 0
plot dir."/true_velocity.txt" using 1:2 with lines lw 2 lc rgb "black" title "true curve", \
     dir."/spac.out" using 1:(velocity($2)) with points pt 7 ps 1.2 lc rgb "#1f77b4" \
       title "SPAC coefficient, itype 1 (r = 5 m)", \
     dir."/ratio.out" using 1:(velocity($2)) with points pt 5 ps 1.0 lc rgb "#d62728" \
       title "J0^2/J1^2 power ratio, itype 5 (r = 3 m)"

set title "RMS of 0.5 s windows of the vertical component, relative to the whole record (gauger)"
set xlabel "window start time (s)"
set ylabel "RMS ratio"
set key off
set offsets 0, 0, 0, 0
set yrange [0:*]
plot dir."/rms_u.txt" every ::1 using 1:2 with linespoints pt 7 lc rgb "#2ca02c", \
     1 with lines dt 2 lc rgb "gray"

unset multiplot
