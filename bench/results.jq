# What the tables made of the benchmark results share.

# A time or count as shown: one decimal, "-" for none.
def fmt: if . == null then "-" else (. * 10 | round / 10 | tostring) end;

# The spread of an operation's repetitions as shown: " ±4%", nothing for an operation run once.
def spread: if . == null then "" else " ±\(. * 100 | round)%" end;

# Every run of the results by its name without "/iterations...": the aggregate `name` ("median",
# "cv") of each operation. An operation run once has no aggregates: its one run is its median.
def runs($all; $name):
  ($all | map(select(.aggregate_name == $name)))
  + (if $name == "median" then $all | map(select(.run_type == "iteration" and .repetitions == 1)) else [] end)
  | INDEX(.run_name | sub("/iterations.*"; ""));
