#pragma once

#include <QString>

#include "core/categories/category_tree.h"

namespace cheque {

// The edits of the tree editor. Node arguments are indexes into the tree;
// -1 stands for the top of the tree (the empty space below its last node).

// When the first node is a group, every later stand-alone category moves to
// the top, each before the node that is first at that moment: they end above
// all groups in reverse order. False when nothing moved.
bool NormalizeTree(CategoryTree& tree);

// Adds `text` as the last sub-node of `parent` (-1: a stand-alone category at
// the end). Returns the new node's index, or -1 for a blank name or a bad
// parent.
int AddSubNode(CategoryTree& tree, int parent, const QString& text);

// The drop of a dragged category on `target`: a target without sub-nodes
// stands for the group that holds it, so the category goes into that group
// as its last category; a group target takes it directly; -1 or a stand-alone
// category target makes it stand-alone. Nothing happens when that is the
// group it is already in, or for a dragged group. True when it moved.
bool MoveCategory(CategoryTree& tree, int dragged, int target);

// Removes a node without sub-nodes; false for a group or a bad index.
bool DeleteCategory(CategoryTree& tree, int node);

// Writes the tree over `file`, first making the file as it was the new
// backup. Each step replaces its file in one go, so a crash in between leaves
// the current tree whole. A backup that cannot be made does not stop the
// save. False when the tree could not be written.
bool SaveTreeWithBackup(const CategoryTree& tree, const QString& file, const QString& backup);

// Replaces the tree with the one in `file`; false, leaving it as it was, when
// the file is missing or cannot be read.
bool RestoreTree(CategoryTree& tree, const QString& file);

// "Categ.~da" / "BCateg.~da" and "DCateg.dat" / "DCategB.dat" in the program
// folder.
QString CategoryTreeBackupFile(bool business);
QString CategoryTreeDefaultFile(bool business);

}  // namespace cheque
