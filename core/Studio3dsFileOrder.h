#pragma once
#include <map>
#include <string>
#include <vector>

// lib3ds 1.x keeps its lists sorted by name; the file's own order comes back from
// the keys of the chunk scan, in file order.

// `all` (in lib3ds's order) in the order of `keys`: each key takes the next unused
// entry with that key; entries no key names follow, in lib3ds's order.
template <class T, class Key, class KeyOf>
std::vector<T*> inFileOrder(const std::vector<T*>& all, const std::vector<Key>& keys, KeyOf keyOf) {
    std::map<Key, std::vector<size_t>> byKey; // positions in `all`, in lib3ds's order
    for (size_t i = 0; i < all.size(); ++i)
        byKey[keyOf(all[i])].push_back(i);
    std::map<Key, size_t> taken;
    std::vector<bool> used(all.size(), false);
    std::vector<T*> out;
    for (const Key& key : keys) {
        auto found = byKey.find(key);
        if (found == byKey.end())
            continue;
        size_t& next = taken[key];
        if (next < found->second.size()) {
            size_t i = found->second[next++];
            used[i] = true;
            out.push_back(all[i]);
        }
    }
    for (size_t i = 0; i < all.size(); ++i)
        if (!used[i])
            out.push_back(all[i]);
    return out;
}

// The same for one of lib3ds's linked lists.
template <class T, class Key, class KeyOf>
std::vector<T*> inFileOrder(T* list, const std::vector<Key>& keys, KeyOf keyOf) {
    std::vector<T*> all;
    for (T* p = list; p; p = p->next)
        all.push_back(p);
    return inFileOrder(all, keys, keyOf);
}

template <class T> std::vector<T*> inFileOrder(T* list, const std::vector<std::string>& names) {
    return inFileOrder(list, names, [](const T* p) { return std::string(p->name); });
}
