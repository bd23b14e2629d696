#pragma once
#include <string>
#include <utility>
#include <vector>

struct Lib3dsNode;

// A node chunk of the file as the chunk scan lists it: node id and name.
using Studio3dsNodeKey = std::pair<unsigned, std::string>;

// Every node of lib3ds's node tree under `roots` (the top-level nodes, in the order
// wanted), depth first: each node before its children, and the children of a node
// in the order of the file's node chunks (`fileOrder`), where lib3ds sorts them by
// name. Each node is listed once, however lib3ds has linked it, so the walk ends on
// any tree and takes no more stack than a flat list.
std::vector<Lib3dsNode*> studio3dsWholeTree(const std::vector<Lib3dsNode*>& roots,
                                            const std::vector<Studio3dsNodeKey>& fileOrder);
