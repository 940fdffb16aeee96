# The start-up's split (the start-up benchmark's counters, Google Benchmark JSON, several runs
# slurped): the median time of each step of the program beside its floor's, as one Markdown table.
# Nothing when the start-up did not run.

include "results";

[.[].benchmarks[]] as $all
| runs($all; "median") as $median
| $median["StartUp/1000"] as $program
| $median["StartUpFloor/1000"] as $floor
| $median["StartUpBoard/1000"] as $board
| if $program == null then empty else
    ["", "| start-up of 1,000 groups, step | program (median) | floor (median) |", "|---|---:|---:|"]
    + ([
        {step: "launched to main(): the libraries loaded", key: "exec_ms"},
        {step: "Qt set up (the X connection, the platform)", key: "toolkit_ms"},
        {step: "the board's window and what it needs from its first showing made", key: "windows_ms"},
        {step: "its showing begun: the native window, the settings file read", key: "settings_ms"},
        {step: "the database attached", key: "attach_ms"},
        {step: "the board read and built (floor: the board rebuild)", key: "board_ms",
         floor: ($board.real_time // null)},
        {step: "until the window is viewable", key: "show_ms"}
      ]
      | map("| \(.step) | \($program[.key] | fmt) ms | \((if has("floor") then .floor else $floor[.key] end) | fmt) ms |"))
    + ["| **whole, to the window viewable** | **\($program.real_time | fmt) ms** | **\(if $floor == null or $board == null then null else $floor.real_time + $board.real_time end | fmt) ms** |",
       "| after that: the board painted | \($program.paint_ms | fmt) ms | |",
       "| after that: the other windows made | \($program.others_ms | fmt) ms | |"]
    | .[]
  end
