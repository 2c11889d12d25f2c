# Sourced by the CI scripts: installs the Debian packages given that are
# missing (through sudo when not root), in one apt-get call, without their
# recommends.
installa_pacchetti() {
  local mancanti=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
  done
  ((${#mancanti[@]})) || return 0
  echo "installing: ${mancanti[*]}"
  local sudo_se_serve=()
  [ "$(id -u)" -eq 0 ] || sudo_se_serve=(sudo)
  "${sudo_se_serve[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_se_serve[@]}" apt-get install -y -qq \
    --no-install-recommends "${mancanti[@]}"
}
