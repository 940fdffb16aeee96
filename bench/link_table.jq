# The results over the slow link (Google Benchmark JSON, several runs slurped) as one Markdown table:
# each operation's median beside its floor's, their ratio, and the round trips each took.

include "results";

[.[].benchmarks[]] as $all
| runs($all; "median") as $median
| runs($all; "cv") as $cv
| [
    {op: "board rebuild", size: "1,000 groups", run: "BoardRebuild/1000"},
    {op: "file list shown", size: "2,000 files", run: "FileListShow/files_on_disk/2000",
     floor: "FileListShowFloor/files_on_disk/2000"},
    {op: "files added one by one", size: "100 files", run: "FileAdd/100"},
    {op: "group copy", size: "500 files", run: "GroupCopy/500"},
    {op: "group copy", size: "2,000 files", run: "GroupCopy/2000"},
    {op: "search finding 100 files", size: "1,000 groups, 20,000 files", run: "Search/1000"},
    {op: "change check, nothing changed", size: "1,000 groups, file list of 20", run: "ChangeCheck/1000"},
    {op: "census of a backup's moment", size: "1,000 groups, 20,000 files", run: "Census/1000"}
  ]
| map(. + {floor: (.floor // (.run | sub("/"; "Floor/")))})
| map(select($median[.run] != null))
| map(. as $row
      | $median[$row.run] as $m
      | $median[$row.floor] as $f
      | (if $f == null then null else $m.real_time / $f.real_time end) as $ratio
      | "| \($row.op) | \($row.size) | \($m.real_time | fmt) ms\($cv[$row.run].real_time | spread) "
        + "| \($f.real_time | fmt) ms | "
        + "\(if $ratio == null then "-" else ($ratio * 100 | round / 100 | tostring) + " x" end) | "
        + "\($m.round_trips | fmt) | \($f.round_trips | fmt) | ≤ 1.3 x | "
        + "\(if $ratio != null and $ratio <= 1.3 then "met" else "MISSED" end) |")
| ["| over a 20 ms link | size | time (median ±cv) | floor (median) | ratio | round trips | floor's round trips | target | |",
   "|---|---|---:|---:|---:|---:|---:|---|---|"] + .
| .[]
