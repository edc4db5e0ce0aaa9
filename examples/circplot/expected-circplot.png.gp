# gnuplot script written by circplot: 'standard input (vantor)'
# It holds its data, so it redraws the picture alone. Run it in the directory
# where circplot ran (the picture's name is relative to it): gnuplot SCRIPT

# phase velocities of standard input: frequency (Hz), value
$b1 << EOD
   1.5000000000000000        682.11486800000000     
   2.0000000000000000        602.71820100000002     
   2.5000000000000000        560.54022199999997     
   3.0000000000000000        496.54070999999999     
   3.5000000000000000        456.44006300000001     
   4.0000000000000000        413.95892300000003     
   5.0000000000000000        359.73635899999999     
   6.0000000000000000        320.12951700000002     
EOD

# frequencies of the NO_ROOT lines of standard input: frequency (Hz)
$b2 << EOD
   1.0000000000000000     
EOD

# pngcairo draws smooth lines and text; the plain png terminal does where it is missing.
if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {
  set terminal pngcairo size 1000,420 font 'sans,10' noenhanced
} else {
  set terminal png size 1000,420 noenhanced
}
set output 'circplot.png'
set multiplot layout 1,1 title 'standard input (vantor)'
# One frequency axis for every panel, so that features line up.
set logscale x
set xrange [0.95238095238095233:6.3000000000000007]
set xtics (1.0000000000000000, 2.0000000000000000, 3.0000000000000000, 4.0000000000000000, 5.0000000000000000, 6.0000000000000000)
set xlabel 'frequency (Hz)'
# Tics in their shortest form: 100, 0.5, 0.001.
set format x '%g'
set format y '%g'
set format cb '%g'
set grid
set key opaque box
# The marks of frequencies without a value sit on the frequency axis.
set y2range [0:1]

# Panel 1 of 1
set title 'Phase velocity'
set ylabel 'phase velocity (m/s)'
set yrange [296.80590682758003:735.71683786674362]
set logscale y
set ytics (300.00000000000000, 400.00000000000000, 500.00000000000000, 600.00000000000000, 700.00000000000000)
unset colorbox
set key top right
set offsets 0, 0, 0, 0
plot $b1 using 1:2 with linespoints lc rgb '#0072b2' lw 1.5 pt 7 ps 0.8 title 'standard input (vantor, r = 20 m)', \
     $b2 using 1:(0.03) axes x1y2 with points lc rgb '#0072b2' pt 9 ps 1.6 title 'NO_ROOT: 1 frequency'

unset multiplot
set output
