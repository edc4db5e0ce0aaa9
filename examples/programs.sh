# Sourced by the example scripts: where the nine programs are.
#
# program_path DIR NAME prints the path of program NAME, where DIR is either
# a build directory (programs in their source-named subdirectories) or a
# directory holding the installed programs (for example PREFIX/bin).

program_dir() {  # the build subdirectory of a program
  case $1 in
    vantor) echo ratio_inversion ;;
    quillon) echo noise_ratio ;;
    tessel) echo noise_table ;;
    gauger) echo rms_eval ;;
    wendle) echo component_split ;;
    corral) echo centre_series ;;
    hollin) echo spectral_noise ;;
    resampa) echo log_resample ;;
    snippa) echo segment_extract ;;
    *) return 1 ;;
  esac
}

program_path() {  # program_path DIR NAME
  local dir name sub
  dir=$(cd "$1" && pwd)
  name=$2
  if [[ -x $dir/$name ]]; then
    echo "$dir/$name"
    return 0
  fi
  sub=$(program_dir "$name") || return 1
  if [[ -x $dir/$sub/$name ]]; then
    echo "$dir/$sub/$name"
    return 0
  fi
  echo "no program $name in $dir" >&2
  return 1
}
