// Replacing a table's files by new ones built beside them (pack, reindex).
// A process killed at any moment leaves the old files or the new ones, never
// a mix: the new files are complete before a marker beside the table lists
// them; from the marker on, the new files win, and whoever opens the table
// next finishes the renames. New files without a marker are an interrupted
// build and are removed at the next open.
#pragma once

#include <string>
#include <vector>

#include "xbase/env.h"

namespace xb {

// The name a new file is built under, beside the file it replaces.
std::string SwapTemp(const std::string& path);

// Removes what a build of a new `path` left (SwapTemp(path) and the index
// journal beside it), if anything.
void RemoveBuildFiles(Env* env, const std::string& path);

// Renames SwapTemp(f) over f for every f in `finals` (in that order; put the
// DBF last), through the marker beside `dbf`.
Status CommitSwap(Env* env, const std::string& dbf, const std::vector<std::string>& finals);

// A replaced DBF stays reachable through handles opened before the rename:
// someone who opened the table just before a swap and locked it just after
// holds the old file. The swapper marks that file before letting go of it,
// and an opener that finds the mark under its lock opens the table again.
Status MarkReplaced(File* old_dbf);
bool IsMarkedReplaced(const uint8_t* header_prefix, size_t len);

// Finishes or undoes a swap a killed process left behind for table `dbf`.
// Cheap when there is none (two file-exists checks). Takes the table's share
// lock exclusively while it works, so it never touches a swap in progress in a
// live process; when the table is in use it leaves things as they are.
Status RecoverSwap(Env* env, const std::string& dbf);

}  // namespace xb
