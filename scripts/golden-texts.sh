# Sourced by the package and Windows checks: compares the table and analysis files that a
# rez-report run wrote into a folder with the golden texts, byte for byte.
#   check_golden_texts OUTDIR [WHAT]
# prints a line per file (WHAT, such as " from the installed program", after its name) and
# returns 1 when any file differs or is missing.
check_golden_texts() {
  local out=$1 what=${2:-} status=0 golden name group manager file
  for golden in tests/analysis/golden/*.txt; do
    name=$(basename "$golden" .txt) # Smirnov.table
    group=${name%.*}
    # Line 2 of every respondent file (counted from 0) names the manager: the group name.
    manager=$(sed -n 3p "$(ls samples/"$group"/*REZ.txt | head -n 1)")
    case ${name#*.} in
      table) file="$out/$manager Table.rtf" ;;
      analysis) file="$out/$manager An.rtf" ;;
    esac
    # The files are Windows-1251 with CR LF; the golden texts UTF-8 with LF. The golden text
    # is turned into the file's form, so every byte of the file counts, line ends included.
    if sed 's/$/\r/' "$golden" | iconv -f UTF-8 -t CP1251 | cmp -s - "$file"; then
      echo "$group: $(basename "$file")$what matches its golden text"
    else
      echo "$group: $(basename "$file")$what DIFFERS from $golden"
      status=1
    fi
  done
  return $status
}
