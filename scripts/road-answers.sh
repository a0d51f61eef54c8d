# Sourced inside the virtual X session of the roads that time the window's answers while they
# drive it. Expects `road` (the road's name, for its messages), `scratch` (the road's throw-away
# folder with fb/ and app.log), `out` (the screenshots' folder) and `limit` (milliseconds an
# input may wait).
#
# shot, fail and the other shared steps come from road-helpers.sh;
# gaps STEP...     plays the steps (scripts/answer-gaps.py) while pinging the main window; fails
#                  past `limit`; adds to `pings`, `over` (waits over 100 ms) and `longest` (ms)
# centre_of PATH   sets xy to "X,Y", the centre of the element that reads PATH over the
#                  accessibility bus (scripts/atspi.py), waiting (and pinging) until it is there
source scripts/road-helpers.sh
longest=0 over=0 pings=0
gaps() {
  local result
  result=$(python3 scripts/answer-gaps.py Tessarine "$limit" "$@") || { echo "$result"; fail "the window did not answer in time (${*})"; }
  echo "$*: $(echo $result)"
  pings=$((pings + $(echo "$result" | sed -n "s/^pings //p")))
  over=$((over + $(echo "$result" | sed -n "s/^over100 //p")))
  longest=$(echo "$result" | sed -n "s/^longest //p" | awk -v l="$longest" '{ print ($1 > l ? $1 : l) }')
}
centre_of() {
  local tries=0
  until xy=$(/usr/bin/python3 scripts/atspi.py centre "$1" 2>/dev/null); do
    tries=$((tries + 1))
    [ $tries -lt 120 ] || fail "no \"$1\" on the screen"
    gaps wait:1
  done
  xy=${xy/ /,}
}
