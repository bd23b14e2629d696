#include "core/Studio3dsTree.h"

#include "core/Studio3dsFileOrder.h"

#include <lib3ds/node.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

std::vector<Lib3dsNode*> studio3dsWholeTree(const std::vector<Lib3dsNode*>& roots,
                                            const std::vector<Studio3dsNodeKey>& fileOrder) {
    // The children of every node, each node kept under the first parent that
    // reaches it, so no list can lead back to a node already listed (a sibling
    // chain that comes round to a listed node ends there).
    std::unordered_set<const Lib3dsNode*> seen(roots.begin(), roots.end());
    std::unordered_map<const Lib3dsNode*, std::vector<Lib3dsNode*>> children;
    std::vector<Lib3dsNode*> all(roots), pending(roots);
    while (!pending.empty()) {
        const Lib3dsNode* parent = pending.back();
        pending.pop_back();
        for (Lib3dsNode* c = parent->childs; c && seen.insert(c).second; c = c->next) {
            children[parent].push_back(c);
            all.push_back(c);
            pending.push_back(c);
        }
    }

    std::unordered_map<const Lib3dsNode*, size_t> rank; // place in the file
    std::vector<Lib3dsNode*> ordered = inFileOrder(
        all, fileOrder, [](const Lib3dsNode* n) { return Studio3dsNodeKey(n->node_id, n->name); });
    for (size_t i = 0; i < ordered.size(); ++i)
        rank[ordered[i]] = i;

    std::vector<Lib3dsNode*> out;
    out.reserve(all.size());
    std::vector<Lib3dsNode*> stack(roots.rbegin(), roots.rend());
    while (!stack.empty()) {
        Lib3dsNode* n = stack.back();
        stack.pop_back();
        out.push_back(n);
        auto found = children.find(n);
        if (found == children.end())
            continue;
        std::vector<Lib3dsNode*>& kids = found->second;
        std::sort(kids.begin(), kids.end(), [&](Lib3dsNode* a, Lib3dsNode* b) { return rank[a] < rank[b]; });
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return out;
}
