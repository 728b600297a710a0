// The model's checks of its own invariants, in a file of their own so that a program built
// without KESTREL_MODEL_CHECKS links none of it.
#include <cstdio>
#include <cstdlib>

#include "compress/LzhModel.h"
#include "toolkit/Format.h"

std::string TLzhModel::Inconsistency() const {
  for (int n = 0; n < kNodeCount; ++n) {
    if (Frequency[n] > Frequency[n + 1])
      return Format("order: node %d counts more than %d", n, n + 1);
    const int c = Child[n];
    if (c >= kNodeCount) {
      if (c >= kNodeCount + kSymbolCount) return Format("node %d has no child %d", n, c);
      if (Parent[c] != n)
        return Format("leaf link: symbol %d is not at node %d", c - kNodeCount, n);
      if (Frequency[n] == 0) return Format("leaf %d counts 0", n);
      if (GrandChild[2 * n] != c || GrandChild[2 * n + 1] != c)
        return Format("shortcuts: the grandchildren of leaf %d", n);
      continue;
    }
    if (c % 2 != 0) return Format("pairs: node %d's first child %d is odd", n, c);
    if (c + 1 >= n) return Format("pairs: node %d stands below its children", n);
    if (Parent[c] != n || Parent[c + 1] != n) return Format("links: node %d's children", n);
    if (Frequency[n] != Frequency[c] + Frequency[c + 1]) return Format("sums: node %d", n);
    if (GrandChild[2 * n] != Child[c] || GrandChild[2 * n + 1] != Child[c + 1])
      return Format("shortcuts: the grandchildren of node %d", n);
  }
  for (int n = kNodeCount; n < kNodeCount + 8; ++n)
    if (Frequency[n] != 0xFFFF) return Format("sentinel %d", n);
  if (Parent[kRootNode] != 0) return "the root's parent";
  if (Frequency[kRootNode] > kMaxFrequency) return "the root counts past the limit";
  for (int n = 0; n < kRootNode; ++n)
    if (GrandParent[n / 2] != Parent[Parent[n]])
      return Format("shortcuts: GrandParent of node %d", n);
  return {};
}

std::string TLzhModel::PathInconsistency(int symbol) const {
  if (Frequency[kRootNode] > kMaxFrequency) return "the root counts past the limit";
  int n = Parent[symbol + kNodeCount];
  for (int level = 0; level < kNodeCount; ++level, n = Parent[n]) {
    if (n >= kNodeCount) return Format("links: the path of symbol %d leaves the tree", symbol);
    if (Frequency[n] > Frequency[n + 1] || (n > 0 && Frequency[n - 1] > Frequency[n]))
      return Format("order at node %d, on the path of symbol %d", n, symbol);
    const int c = Child[n];
    if (c < kNodeCount && Frequency[n] != Frequency[c] + Frequency[c + 1])
      return Format("sums at node %d, on the path of symbol %d", n, symbol);
    if (n == kRootNode) return {};
  }
  return Format("links: the path of symbol %d does not reach the root", symbol);
}

void ModelCheckFailed(const char* where, const std::string& what) {
  std::fprintf(stderr, "LZH model broken after %s: %s\n", where, what.c_str());
  std::abort();
}
