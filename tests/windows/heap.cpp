// Windows: the C runtime heap's bytes in use, for the show's no-growth check.
#include <malloc.h>

#include "show_support.h"

std::size_t showtest::HeapInUse() {
    _HEAPINFO entry{};
    std::size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) used += entry._size;
    }
    return used;
}
