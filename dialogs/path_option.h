// How the names of a run keep their folders: the Full, Partial and No path choices of the Add
// and Extract dialogs, numbered in the order their radio buttons show them.
#pragma once

enum class PathOption { Full = 0, Partial = 1, None = 2 };
