# --help lists every option; an unknown option is refused with status 2.
source "$(dirname "$0")/lib.sh"
"$DEMO" --help > "$WORK/help" || fail "--help exit status $?"
for option in --window --desktop --size --msaa --no-dialogs --fps --max-fps --start --data --stats --capture --at --keys --version --help; do
  grep -q -- "$option" "$WORK/help" || fail "--help does not list $option"
done
version=$("$DEMO" --version) || fail "--version exit status $?"
[[ "$version" =~ ^zircon-megademo\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed: $version"
"$DEMO" --bogus > /dev/null 2> "$WORK/err"
status=$?
[ $status -eq 2 ] || fail "unknown option: exit status $status"
grep -q "unknown option --bogus" "$WORK/err" || fail "unknown option not named"
echo ok
