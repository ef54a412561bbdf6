#!/usr/bin/env bash
# Writes the manual page of kitebar-cli, in roff, from the program's own
# --help and the --help of each of its commands, so that the page lists
# exactly the commands and options that the program has.
#   cli-manpage.sh KITEBAR_CLI OUTPUT DATE VERSION
set -euo pipefail
cli=$1
output=$2
date=$3
version=$4
export LC_ALL=C.UTF-8

# Plain text to roff: backslashes and minus signs escaped, and a line never
# starts with a control character.
roff() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

# The entries of one section of a --help text ("Options:", "Positionals:"),
# without the help option itself. The name is padded to 30 bytes and the
# description follows; a longer name stands alone on its line. A line that
# starts with 30 spaces goes on with the description of the entry before it.
entries() {
  awk -v section="$1" '
    $0 == section { inside = 1; next }
    inside && /^[^ ]/ { inside = 0 }
    inside && /^$/ { inside = 0 }
    inside {
      if (length($0) > 30 && substr($0, 30, 1) == " ") {
        name = substr($0, 1, 30); text = substr($0, 31)
      } else {
        name = $0; text = ""
      }
      gsub(/^ +| +$/, "", name); gsub(/^ +| +$/, "", text)
      if (name == "") { if (!skip) print "\037" text; next }
      if (name ~ /^-h,--help/) { skip = 1; next }
      skip = 0
      print name "\037" text
    }' | while IFS=$'\037' read -r name text; do
    if [ -n "$name" ]; then
      printf '.TP\n.B %s\n' "$(printf '%s' "$name" | roff)"
    fi
    [ -n "$text" ] && printf '%s\n' "$text" | roff
  done
}

# The names listed under "Subcommands:" of a --help text.
subcommands() {
  awk '/^Subcommands:$/ { inside = 1; next } inside && NF { print $1 }'
}

# One command (and its own commands after it): its summary, usage,
# arguments and options.
describe() {
  local command_help usage
  command_help=$("$cli" "$@" --help)
  printf '.SS %s\n' "$(printf '%s' "$*" | roff)"
  printf '%s\n' "${command_help%%$'\n'*}" | roff
  usage=$(printf '%s\n' "$command_help" | sed -n 's/^Usage: [^ ]* /kitebar-cli /p')
  printf '.PP\n.B %s\n' "$(printf '%s' "$usage" | roff)"
  printf '%s\n' "$command_help" | entries 'Positionals:'
  printf '%s\n' "$command_help" | entries 'Options:'
  for sub in $(printf '%s\n' "$command_help" | subcommands); do
    describe "$@" "$sub"
  done
}

help=$("$cli" --help)
commands=$(printf '%s\n' "$help" | subcommands)
[ -n "$commands" ] || { echo "cli-manpage.sh: no commands in the help of $cli" >&2; exit 1; }

{
  printf '.TH KITEBAR\\-CLI 1 "%s" "Kitebar %s" "User Commands"\n' "$date" "$version"
  printf '.SH NAME\nkitebar\\-cli \\- the Kitebar predictor from the command line\n'
  printf '.SH SYNOPSIS\n.B kitebar\\-cli\n.I COMMAND\n.RI [ OPTIONS ]\n'
  printf '.br\n.B kitebar\\-cli \\-\\-help\n.br\n.B kitebar\\-cli \\-\\-version\n'
  printf '.SH DESCRIPTION\n'
  printf '%s\n' "$help" | sed -n '1,/^Usage:/p' | sed '$d' | roff
  printf '.PP\nIt reads and writes the same files as the desktop program\n.BR kitebar (1).\n'
  printf '.B \\-\\-help\nprints the commands,\n.BI "kitebar\\-cli " COMMAND " \\-\\-help"\n'
  printf 'the options of one, and\n.B \\-\\-version\nthe version\n'
  printf '.RB ( "kitebar\\-cli %s" ).\n' "$version"
  printf 'Numbers may be typed with full-width digits (１２３).\n'
  printf '.SH COMMANDS\n'
  for command in $commands; do
    describe "$command"
  done
  cat <<'EOF'
.SH OUTPUT
Results go to standard output, one fact per line, in the forms below (other
tools may read them; \(lq.\(rq is the decimal point in every locale).
Messages and warnings go to standard error.
.TP
.B history
.B count
.I N
then the lines of
.IR kitebarnum.dat .
.TP
.B settings
.I file
.BI [ section ]
.IB key = text
for every value, as read.
.TP
.B load\-csv
.B read
.I N
.B draws
.IR A \- B ,
.B held
.I H
.BR "all agree" ,
.B new
.I M
.B draws
.IR C \- D ,
.B padded
.I P
(numbers whose lost leading zeros were put back) on standard error, then
.B added
.I M
on standard output; with
.B \-\-dry\-run
the same summary and
.B dry run, would add
.I M
on standard output, and nothing stored.
.TP
.B predict
.B 第
.I N
.B 回
then
.IB k ": " NNN
for the ten candidates; with
.BR \-\-draw ,
the ten lines alone.
.TP
.B analyse
.IB d ": " PPP
per draw: the windmill position estimated from the winning number of draw
.IR d ,
which is the position stored on draw
.IR d " + 1."
.TP
.BR register ", " position
.B registered
.I N NNN
or
.B position
.I N PPP
for what was stored.
.TP
.B hits
.B draws
.I N
.B wins
.I W
.B straight
.I S
.B box
.I B
.B mini
.IR M .
.TP
.B repair
.B history whole count
.IR N ,
or
.B repaired count
.I N
.B backup
.I FILE
and a line for each line it left out.
.TP
.B evaluate
.B draws
.I D
.B type
.I T
.B from
.I N
.B to
.I M
.B skipped
.IR S ,
then for straight, box and mini
.I KIND
.B hits
.I H
.B expected
.I E
.B p
.IR P ;
with
.B \-\-stored\-positions
a fifth line
.B stored\-positions used
.I U
.B decided
.IR V .
.TP
.B record
.B entries
.I E
.B draws
.I D
.B from
.I F
.B to
.I L
.B scored
.I S
.B waiting
.I W
.B settings
.I K
.B corrections
.IR C ,
then the three
.I KIND
lines in the form of
.BR evaluate ,
each draw counted once with every candidate recorded for it, and last
.B chain whole lines
.I N
.B head
.I HEX
or
.B chain broken line
.I N
(exit status 1; standard error names the line and why).
.TP
.B tune
.B searched
.I R
.B rules on draws 2 to
.I N
.BI "(kind " KIND ) \fR,
then
.BR "train best" ", " "holdout best" " and " "holdout current"
lines of hits, expected hits and p\-value, and last
.B train best adjusted p
.I Q
.B over
.I R
.BR rules :
the p\-value of the best rule once the choice among all rules is paid for.
For straight and mini it is exact: each winning number is a hit of exactly
one rule, so by chance the rules' hits are multinomial and the chance that
the best of them does as well is worked out without approximation. For box
it is the share of 10,000 histories simulated with a fixed seed; 0.0000 means
that none of them did as well, which puts it below 0.0003 with 95 % confidence.
The page
.I Kitebar_tuning.html
gives the count and its one\-sided 95 % upper bound.
.SH FILES
All in the current directory:
.TP
.I kitebarnum.dat
The draw history, one line per draw:
.IB NNNN , DDD
or
.IB NNNN , DDD , PPP , S
(with the windmill position and 0 estimated or 1 decided), and last at most
one line
.IB NNNN ,, PPP , S
for the next draw, not yet held, whose windmill position is known
(for example 7089,,418,0).
.TP
.IR base.ini ", " type1.ini " ... " type5.ini
The core settings, the result site of the import
.RB ( "[TvalUrl] BaseURL" )
and the five windmill setting sets.
.TP
.IR Kitebard.dat ", " Kitebard_100.dat
The back\-test records of the hit\-statistics pages.
.TP
.IR showyosou.html ", " Kitebar.html ", " Kitebar_100.html
The pages of predict, hits and hits \-\-recent, in Shift_JIS.
.TP
.IR Kitebar_kensho.html ", " Kitebar_tuning.html
The pages of evaluate and tune, in UTF\-8.
.TP
.I kitebar\-record.csv
The record of the predictions shown by predict and the desktop program, and
made by register for the next draw, before their draws, with the winning
numbers they were scored against; UTF\-8, one line an entry, only ever added
to. Each line ends in a SHA\-256 chain value over the line before, so that an
edited, removed or reordered line shows.
.TP
.I kitebar.lock
Taken while a command writes, so that two programs never write at once.
Deleting it does no harm.
.TP
.I *.bak
The copies that repair keeps of a history it mends.
.SH EXIT STATUS
.TP
.B 0
Success.
.TP
.B 1
Failure: the last line on standard error, beginning
\(lqkitebar\-cli:\(rq, says what went wrong and what to do.
.B import
writes its progress lines before it. A file that
.B load\-csv
refuses (a draw that disagrees with the history, draws missing, columns that cannot
be told apart) is a failure too, and nothing is stored.
.TP
.B 2
A wrong command line or entry (unknown command or option, a value out of its
range, a winning number or position that is not one to three digits);
nothing was changed.
One or two digits are filled with zeros in front, as the desktop program's
entry does: 12 is stored as 012.
.TP
.B 130
Stopped with Ctrl+C
.RB ( tune ).
.SH EXAMPLES
Check a CSV whose header reads \(lq抽せん日,本数字,回別,ストレート,...\(rq, newest draw
first, against the history, storing nothing:
.PP
.nf
$ kitebar\-cli load\-csv \-\-dry\-run ~/Downloads/numbers3_6798.csv
read 6798 draws 1\-6798
held 6798 all agree
new 0 draws
padded 0
dry run, would add 0
.fi
.PP
Paste the newest draws copied from a results page (end with Ctrl+D):
.PP
.nf
$ kitebar\-cli load\-csv \-
第7090回	2026年10月12日(月)	048
第7089回	2026年10月9日(金)	305
read 2 draws 7089\-7090
held 0 all agree
new 2 draws 7089\-7090
padded 0
added 2
.fi
.SH SEE ALSO
.BR kitebar (1),
.BR kitebar\-launch (1)
EOF
} >"$output"
