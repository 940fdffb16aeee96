# The benchmark results (Google Benchmark JSON, several runs slurped) as one Markdown table: each
# operation's median beside its floor's, their ratio and whether the target is met.

include "results";

[.[].benchmarks[]] as $all
| runs($all; "median") as $median
| runs($all; "cv") as $cv
| [
    {op: "board rebuild", size: "1,000 groups", run: "BoardRebuild/1000", floors: ["BoardRebuildFloor/1000"],
     ratio: 1.3},
    {op: "board rebuild", size: "10,000 groups", run: "BoardRebuild/10000", floors: ["BoardRebuildFloor/10000"],
     ratio: 1.3, ms: 1000},
    {op: "file list shown, files on disk", size: "2,000 files", run: "FileListShow/files_on_disk/2000",
     floors: ["FileListShowFloor/files_on_disk/2000"], ratio: 1.3},
    {op: "file list shown, files gone", size: "2,000 files", run: "FileListShow/files_gone/2000",
     floors: ["FileListShowFloor/files_gone/2000"], ratio: 1.3},
    {op: "file list shown, files on a mapped share", size: "2,000 files", run: "FileListShow/files_mapped/2000",
     floors: ["FileListShowFloor/files_mapped/2000"], ratio: 1.3},
    {op: "file list shown, files on a share answering each look in 20 ms", size: "2,000 files",
     run: "SlowShareList/shown/2000", floors: ["SlowShareListFloor/shown/2000"], ratio: 1.3},
    {op: "file list's facts all in, share answering each look in 20 ms", size: "2,000 files",
     run: "SlowShareList/all_facts/2000", floors: ["SlowShareListFloor/all_facts/2000"], ratio: 1.3},
    {op: "files added one by one", size: "500 files", run: "FileAdd/500", floors: ["FileAddFloor/500"],
     ratio: 1.15},
    {op: "group copy", size: "2,000 files", run: "GroupCopy/2000", floors: ["GroupCopyFloor/2000"], ratio: 1.15},
    {op: "start-up to the shown main window", size: "1,000 groups", run: "StartUp/1000",
     floors: ["StartUpFloor/1000", "StartUpBoard/1000"], ratio: 1.3},
    {op: "search finding 100 files", size: "10,000 groups, 200,000 files", run: "Search/10000",
     floors: ["SearchFloor/10000"], ratio: 1.3, ms: 1000},
    {op: "search finding 100 files", size: "20,000 groups, 1,000,000 files", run: "Search/20000",
     floors: ["SearchFloor/20000"], ratio: 1.3, ms: 1000},
    {op: "first search in a new connection", size: "10,000 groups, 200,000 files", run: "SearchFirst/10000",
     floors: []},
    {op: "search index made, from nothing", size: "10,000 groups, 200,000 files", run: "IndexBuild/10000",
     floors: ["IndexBuildFloor/10000"], ratio: 1.5},
    {op: "search index made, from nothing", size: "20,000 groups, 1,000,000 files", run: "IndexBuild/20000",
     floors: ["IndexBuildFloor/20000"], ratio: 1.5},
    {op: "search with the index: last key to 100 files listed", size: "10,000 groups, 200,000 files",
     run: "SearchIndexed/10000", floors: ["SearchIndexedFloor/10000"], ms: 50},
    {op: "search with the index: last key to 100 files listed", size: "20,000 groups, 1,000,000 files",
     run: "SearchIndexed/20000", floors: ["SearchIndexedFloor/20000"], ms: 50},
    {op: "write counts at a look of the change watch", size: "10,000 groups, 200,000 files",
     run: "TableCounts/10000", floors: []},
    {op: "write counts at a look of the change watch", size: "20,000 groups, 1,000,000 files",
     run: "TableCounts/20000", floors: []},
    {op: "change check, nothing changed", size: "10,000 groups, file list of 20", run: "ChangeCheck/10000",
     floors: ["ChangeCheckFloor/10000"], ratio: 1.3, ms: 5},
    {op: "missing-file scan, half missing", size: "200 groups, 200,000 files", run: "MissingScan/200000",
     floors: ["MissingScanFloor/200000"], ratio: 1.3},
    {op: "missing-file scan, Windows folders, three mappings", size: "200 groups, 200,000 files",
     run: "MissingScanMapped/200000", floors: ["MissingScanMappedFloor/200000"], ratio: 1.3},
    {op: "relinking from a folder", size: "2,000 missing files, tree of 100,000", run: "Relink/2000",
     floors: ["RelinkFloor/2000"], ratio: 1.3},
    {op: "backup streamed to this desktop", size: "10,000 groups, 200,000 files", run: "Backup/10000",
     floors: ["BackupFloor/10000"], ratio: 1.2},
    {op: "backup by the gbak command line", size: "10,000 groups, 200,000 files", run: "BackupGbak/10000",
     floors: []},
    {op: "backup's check: restored and counted", size: "10,000 groups, 200,000 files", run: "BackupCheck/10000",
     floors: ["BackupCheckFloor/10000"], ratio: 1.2},
    {op: "restore by the gbak command line", size: "10,000 groups, 200,000 files", run: "BackupCheckGbak/10000",
     floors: []},
    {op: "proven backup, whole, on its thread", size: "10,000 groups, 200,000 files", run: "VerifiedBackup/10000",
     floors: ["BackupFloor/10000", "BackupCheckFloor/10000", "CensusFloor/10000"],
     ratio: 1.2},
    {op: "validation", size: "10,000 groups, 200,000 files", run: "Validate/10000", floors: []},
    {op: "icon view shown from a warm thumbnail cache", size: "2,000 files", run: "IconViewWarm/2000",
     floors: ["IconViewWarmFloor/2000"], ratio: 1.3},
    {op: "thumbnails made cold: PNG", size: "100 files", run: "ThumbnailsCold/png", floors: ["ThumbnailsColdFloor/png"],
     ratio: 1.3},
    {op: "thumbnails made cold: JPEG", size: "100 files", run: "ThumbnailsCold/jpg", floors: ["ThumbnailsColdFloor/jpg"],
     ratio: 1.3},
    {op: "thumbnails made cold: SVG", size: "100 files", run: "ThumbnailsCold/svg", floors: ["ThumbnailsColdFloor/svg"],
     ratio: 1.3},
    {op: "thumbnails made cold: PDF", size: "40 files", run: "ThumbnailsCold/pdf", floors: ["ThumbnailsColdFloor/pdf"],
     ratio: 1.3},
    {op: "thumbnails made cold: DXF", size: "100 files", run: "ThumbnailsCold/dxf", floors: ["ThumbnailsColdFloor/dxf"],
     ratio: 1.3},
    {op: "thumbnails made cold: DWG", size: "100 files", run: "ThumbnailsCold/dwg", floors: ["ThumbnailsColdFloor/dwg"],
     ratio: 1.3},
    {op: "icon view while its thumbnails are made (longest wait)", size: "2,000 files of six kinds",
     run: "IconViewMaking/2000", floors: [], stall: 50},
    {op: "drawing set sent as a folder, read back", size: "2,000 files, 2 GiB", run: "SendFolder/2000",
     floors: ["SendFolderFloor/2000"], ratio: 1.11, stall: 50},
    {op: "cp -r of the same files, without the flush", size: "2,000 files, 2 GiB", run: "SendFolderCp/2000",
     floors: []},
    {op: "drawing set sent as a ZIP file, read back", size: "2,000 files, 2 GiB", run: "SendZip/2000",
     floors: ["SendZipFloor/2000"], ratio: 1.2, stall: 50}
  ]
| map(select($median[.run] != null))
| map(. as $row
      | $median[$row.run] as $m
      | ([$row.floors[] | $median[.]] | if any(. == null) then null else map(.real_time) | add end) as $floor
      | (if $floor == null then null else $m.real_time / $floor end) as $ratio
      | (($row.stall == null or $m.stall_ms < $row.stall)
         and (if $row.ratio == null then ($row.ms == null or $m.real_time < $row.ms)
              else ($ratio != null and $ratio <= $row.ratio and ($row.ms == null or $m.real_time < $row.ms)) end)) as $met
      | "| \($row.op) | \($row.size) | \($m.real_time | fmt) ms\($cv[$row.run].real_time | spread) "
        + "| \($floor | fmt) ms | "
        + "\(if $ratio == null then "-" else ($ratio * 100 | round / 100 | tostring) + " x" end) | "
        + "\($m.peak_MiB | fmt) MiB (floor \($row.floors | if length == 0 then null else $median[.[0]].peak_MiB end | fmt)) | "
        + if $row.ratio == null and $row.stall == null and $row.ms == null then "none | |"
          else ([if $row.ratio then (if $row.ms then "≤ \($row.ratio) x, < \($row.ms) ms" else "≤ \($row.ratio) x" end)
                 elif $row.ms then "< \($row.ms) ms" else empty end,
                 if $row.stall then "longest wait \($m.stall_ms | fmt) ms < \($row.stall) ms" else empty end]
                | join(", ")) + " | \(if $met then "met" else "MISSED" end) |" end)
| ["| operation | size | time (median ±cv) | floor (median) | ratio | peak memory | target | |",
   "|---|---|---:|---:|---:|---:|---|---|"] + .
| .[]
