# Sourced by the shader comparison scripts: the data folder of a git revision, unpacked into a
# scratch folder, so that nothing of the old shaders is copied into the tree.
# old_data REV DIR: DIR/data holds data/ as of REV.
old_data() {
  local rev=$1 dir=$2 root
  root=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
  git -C "$root" rev-parse --verify -q "$rev^{commit}" >/dev/null || {
    echo "no such revision: $rev" >&2
    return 2
  }
  mkdir -p "$dir"
  git -C "$root" archive "$rev" data | tar -x -C "$dir"
}

# The scripts' common start: the capture tool checked, a scratch folder removed at exit
# ($scratch), and $scratch/old/data holding REV's data folder.
old_data_scratch() {
  local capture=$1 rev=$2
  [ -x "$capture" ] || { echo "no demo-capture at $capture (build the default preset)" >&2; exit 2; }
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  old_data "$rev" "$scratch/old" || exit 2
}
