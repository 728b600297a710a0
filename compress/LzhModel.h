// The LZH method's constants, its adaptive Huffman model and the fixed prefix code of
// match positions. Shared by the expander and the compressor: both directions must
// update the model identically, symbol for symbol.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// With KESTREL_MODEL_CHECKS set to 1 (the native test tree, the fuzz tree and Debug builds
// set it for every file), the model checks its invariants as it goes: the whole tree after
// InitModel and RescaleModel, the climbed path after every update, and the length of every
// code; a broken invariant stops the program with a message that names it.
#ifndef KESTREL_MODEL_CHECKS
#define KESTREL_MODEL_CHECKS 0
#endif

// Every constant here is part of the stream format.
inline constexpr int kRingSize = 4096;  // window positions are taken modulo this
inline constexpr int kRingMask = kRingSize - 1;
inline constexpr int kMaxMatch = 60;
inline constexpr int kMatchThreshold = 2;  // references are at least 3 bytes long
inline constexpr int kSymbolCount = 256 - kMatchThreshold + kMaxMatch;  // 314
inline constexpr int kNodeCount = 2 * kSymbolCount - 1;                 // 627
inline constexpr int kRootNode = kNodeCount - 1;                        // 626
inline constexpr uint16_t kMaxFrequency = 0x8000;  // the root's count that forces a rescale
// The window starts filled with spaces, and the first byte goes to position 4036.
inline constexpr int kFirstWritePosition = kRingSize - kMaxMatch;
inline constexpr uint8_t kWindowFill = 0x20;

// The symbol of a match of the given length (3..60), and back.
constexpr int MatchSymbol(int length) {
  return 256 - 3 + length;
}
constexpr int MatchLengthOf(int symbol) {
  return symbol - 253;
}

// The index before the first count from `from` on that is not below f, without a branch to
// guess for runs of up to seven counts below f: the counts from `from` on are in order, so
// how many of the next eight are below f says where the first one that is not stands. A
// count of 0xFFFF ends the search, and the counts must go on for seven more after the one
// that ends it (the sentinels).
inline int LastCountBelowEight(const uint16_t* counts, int from, uint16_t f) {
  for (;;) {
    const int below = (counts[from] < f) + (counts[from + 1] < f) + (counts[from + 2] < f) +
                      (counts[from + 3] < f) + (counts[from + 4] < f) + (counts[from + 5] < f) +
                      (counts[from + 6] < f) + (counts[from + 7] < f);
    from += below;
    if (below < 8) return from - 1;
  }
}

// The longest code: counts stay below kMaxFrequency, and a code of n bits needs a root
// count of at least the (n + 2)th Fibonacci number (24th: 46368 > 0x8000 for n = 22).
inline constexpr int kLongestCode = 22;

// Stops the program: an invariant of the model does not hold (see KESTREL_MODEL_CHECKS).
[[noreturn]] void ModelCheckFailed(const char* where, const std::string& what);

// A symbol's code, gathered from its leaf upwards: Bits holds it in its top Length bits.
struct TLzhCode {
  uint32_t Bits = 0;
  int Length = 0;
  // Puts node n's bit in front: an odd node is a second child.
  void Add(unsigned n) {
    Bits = Bits >> 1 | n << 31;
    ++Length;
  }
};

// Node frequencies kept in non-decreasing order (the sibling property); Child of an
// internal node is its first child (the second is the next node), of a leaf
// kNodeCount + symbol; Parent maps nodes to their parents and kNodeCount + symbol to the
// symbol's leaf.
struct TLzhModel {
  // After the nodes, 0xFFFF sentinels: one ends every scan, the rest let a scan read
  // eight counts at a time.
  std::array<uint16_t, kNodeCount + 8> Frequency;
  std::array<uint16_t, kNodeCount> Child;
  std::array<uint16_t, kNodeCount + kSymbolCount> Parent;
  // GrandChild[2 * n + b] is Child[Child[n] + b] for an internal node n, so that decoding
  // can take two levels of the tree with one load. For a leaf both entries are Child[n],
  // its symbol's entry: they travel with the leaf, and a move writes GrandParent on their
  // behalf past the nodes, where nothing reads.
  std::array<uint16_t, 2 * kNodeCount> GrandChild;
  // GrandParent[n / 2] is Parent[Parent[n]] for a node n below the root (both children
  // of a node share it), so that the update can climb two levels per load. The root's
  // entry and those past it take the writes made on behalf of leaves.
  std::array<uint16_t, (kNodeCount + kSymbolCount) / 2 + 1> GrandParent;

  void InitModel();
  // Counts one more occurrence of the symbol, after a rescale when the root has reached
  // kMaxFrequency, and moves nodes so that the sibling property holds again.
  void UpdateModel(int symbol) {
    if (Frequency[kRootNode] == kMaxFrequency) RescaleModel();
    int n = Parent[symbol + kNodeCount];
    const uint16_t f = ++Frequency[n];
    if (f > Frequency[n + 1]) n = SwapUpward(n, f);
    ClimbFrom(n);
    ++Frequency[kRootNode];
    CheckPath(symbol, "UpdateModel");
  }
  // The symbol's code as it stands, then the update of UpdateModel. The code is the path
  // from the root, one bit per level (1 for a second child), gathered leaf upwards into
  // the top of 32 bits: the tree can grow deeper than 16 levels. The nodes are counted on
  // the same way up, until one outranks its right neighbour; above it the code is only
  // gathered, and then the update climbs on from that node's new place.
  TLzhCode CodeAndUpdate(int symbol) {
    TLzhCode code;
    unsigned k = Parent[symbol + kNodeCount];
    if (Frequency[kRootNode] == kMaxFrequency) {
      GatherCode(k, code);
      UpdateModel(symbol);
      CheckCode(code);
      return code;
    }
    // Two levels per load, as in ClimbFrom.
    for (;;) {
      const unsigned up = Parent[k];
      const unsigned upUp = GrandParent[k / 2];
      code.Add(k);
      uint16_t f = ++Frequency[k];
      if (f > Frequency[k + 1]) {
        GatherCode(up, code);
        ClimbFrom(SwapUpward(static_cast<int>(k), f));
        break;
      }
      if (up == kRootNode) break;
      code.Add(up);
      f = ++Frequency[up];
      if (f > Frequency[up + 1]) {
        GatherCode(upUp, code);
        ClimbFrom(SwapUpward(static_cast<int>(up), f));
        break;
      }
      if (upUp == kRootNode) break;
      k = upUp;
    }
    ++Frequency[kRootNode];
    CheckPath(symbol, "CodeAndUpdate");
    CheckCode(code);
    return code;
  }
  // For a path (nodes from a child of the root down to a leaf) whose nodes and the root
  // were all counted top-down, with path[level] the deepest node that then outranked its
  // right neighbour. Counting bottom-up, as UpdateModel does, that node would have moved
  // first and the counts above it would have followed its new place: so those counts are
  // taken back and the update climbs on from the move (the root's count stays: it ends
  // the same either way). The top-down counts decide that node as bottom-up counting
  // would: a right neighbour is never below its node on the path, and an ancestor,
  // counted or not, never falls below it.
  // Out of line (LzhModel.cpp): the decoding loop keeps its registers to itself.
  void MoveCounted(const uint16_t* path, int level);
  // Undoes the counts of path[0..levels-1].
  void TakeBackCounts(const uint16_t* path, int levels) {
    for (int k = 0; k < levels; ++k) --Frequency[path[k]];
  }
  // Halves every leaf count, rounding up, and rebuilds the tree.
  void RescaleModel();
  // Derives GrandChild and GrandParent from Child and Parent.
  void FindGrandRelatives();

  // Where the tree breaks an invariant, as text; empty when every one holds. Looks at every
  // node: the order of the counts, the sums, the pairs, the links, the root's limit, the
  // leaves' counts and the shortcut tables.
  std::string Inconsistency() const;
  // The same for the order, the sums and the root's limit, along the path from the
  // symbol's leaf to the root: what an update has touched.
  std::string PathInconsistency(int symbol) const;

  // The checks of KESTREL_MODEL_CHECKS; nothing without it.
  void CheckAll(const char* where) const {
    if constexpr (KESTREL_MODEL_CHECKS) {
      const std::string what = Inconsistency();
      if (!what.empty()) ModelCheckFailed(where, what);
    }
  }
  void CheckPath(int symbol, const char* where) const {
    if constexpr (KESTREL_MODEL_CHECKS) {
      const std::string what = PathInconsistency(symbol);
      if (!what.empty()) ModelCheckFailed(where, what);
    }
  }
  static void CheckCode(const TLzhCode& code) {
    if constexpr (KESTREL_MODEL_CHECKS) {
      if (code.Length < 1 || code.Length > kLongestCode)
        ModelCheckFailed("CodeAndUpdate", "a code of " + std::to_string(code.Length) + " bits");
    }
  }

private:
  // Adds the code bits of node n and of its ancestors below the root.
  void GatherCode(unsigned n, TLzhCode& code) const {
    for (;;) {
      if (n == kRootNode) return;
      const unsigned up = Parent[n];
      const unsigned upUp = GrandParent[n / 2];
      code.Add(n);
      if (up == kRootNode) return;
      code.Add(up);
      n = upUp;
    }
  }
  // Node n has just grown to f and outranks its right neighbour: it trades places with the
  // last node still below f (the sentinel ends the scan), taking its subtree along. That
  // node counts f - 1, as every node from n on did before n grew.
  [[gnu::always_inline]] int SwapUpward(int n, uint16_t f) {
    const unsigned from = static_cast<unsigned>(n);
    const unsigned l = static_cast<unsigned>(LastCountBelowEight(Frequency.data(), n + 2, f));
    Frequency[from] = static_cast<uint16_t>(f - 1);
    Frequency[l] = f;
    // Each subtree's first child, and the parents of the children: a leaf has no second
    // child, so its symbol's entry is written twice. The places keep their parents.
    const unsigned i = Child[from];
    const unsigned j = Child[l];
    Child[l] = static_cast<uint16_t>(i);
    Child[from] = static_cast<uint16_t>(j);
    Parent[i] = static_cast<uint16_t>(l);
    Parent[i + (i < kNodeCount)] = static_cast<uint16_t>(l);
    Parent[j] = static_cast<uint16_t>(from);
    Parent[j + (j < kNodeCount)] = static_cast<uint16_t>(from);
    // The shortcuts, one subtree at a time: its children have the other place's parent as
    // their grandparent, and that parent has them as grandchildren.
    {
      const unsigned above = Parent[l];
      GrandParent[i / 2] = static_cast<uint16_t>(above);
      GrandChild[2 * above + (l & 1)] = static_cast<uint16_t>(i);
    }
    {
      const unsigned above = Parent[from];
      GrandParent[j / 2] = static_cast<uint16_t>(above);
      GrandChild[2 * above + (from & 1)] = static_cast<uint16_t>(j);
    }
    // The grandchildren travel with the subtrees, and their grandparent is the new place.
    // A leaf's grandchildren are its symbol's entry, as a leaf's children are: GrandParent
    // has entries past the nodes for their writes, which change nothing that is read.
    uint16_t* const belowFrom = &GrandChild[2 * from];
    uint16_t* const belowL = &GrandChild[2 * l];
    const unsigned from0 = belowFrom[0];
    const unsigned from1 = belowFrom[1];
    const unsigned l0 = belowL[0];
    const unsigned l1 = belowL[1];
    belowL[0] = static_cast<uint16_t>(from0);
    belowL[1] = static_cast<uint16_t>(from1);
    belowFrom[0] = static_cast<uint16_t>(l0);
    belowFrom[1] = static_cast<uint16_t>(l1);
    GrandParent[from0 / 2] = static_cast<uint16_t>(l);
    GrandParent[from1 / 2] = static_cast<uint16_t>(l);
    GrandParent[l0 / 2] = static_cast<uint16_t>(from);
    GrandParent[l1 / 2] = static_cast<uint16_t>(from);
    return static_cast<int>(l);
  }
  // Counts the ancestors of node n below the root, moving nodes as UpdateModel does.
  // Two levels per step: the grandparent comes with one load, beside the parent, unless
  // a move leads elsewhere.
  [[gnu::always_inline]] void ClimbFrom(int n) {
    unsigned p = Parent[n];
    for (;;) {
      if (p == kRootNode) return;
      const unsigned up = Parent[p];
      const unsigned upUp = GrandParent[p / 2];
      uint16_t f = ++Frequency[p];
      if (f > Frequency[p + 1]) {
        p = Parent[SwapUpward(static_cast<int>(p), f)];
        continue;
      }
      if (up == kRootNode) return;
      f = ++Frequency[up];
      if (f > Frequency[up + 1]) {
        p = Parent[SwapUpward(static_cast<int>(up), f)];
        continue;
      }
      p = upUp;
    }
  }
};

// The prefix code of the upper 6 bits of a 12-bit match position, all derived from the
// code lengths: 1 code of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of 8, assigned
// canonically in order of the upper bits. The lower 6 bits follow verbatim.
struct TPositionTables {
  std::array<uint8_t, 64> UpperCodeLength{};
  std::array<uint8_t, 64> UpperCode{};        // left-aligned in 8 bits
  std::array<uint8_t, 256> PrefixToUpper{};   // by the next 8 stream bits
  std::array<uint8_t, 256> PrefixToLength{};  // the code length of that prefix
};

constexpr TPositionTables MakePositionTables() {
  constexpr int kLengthRuns[][2] = {{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}};
  TPositionTables t;
  int upper = 0;
  int code = 0;
  for (const auto& run : kLengthRuns) {
    for (int k = 0; k < run[0]; ++k, ++upper) {
      const int length = run[1];
      t.UpperCodeLength[upper] = static_cast<uint8_t>(length);
      t.UpperCode[upper] = static_cast<uint8_t>(code);
      const int prefixes = 1 << (8 - length);
      for (int b = code; b < code + prefixes; ++b) {
        t.PrefixToUpper[b] = static_cast<uint8_t>(upper);
        t.PrefixToLength[b] = static_cast<uint8_t>(length);
      }
      code += prefixes;
    }
  }
  return t;
}

inline constexpr TPositionTables kPositionTables = MakePositionTables();
