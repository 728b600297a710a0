// The string search of LZH compression: the window and its 4096 ordered search trees.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compress/LzhMatchBytes.h"
#include "compress/LzhModel.h"

// Strings are kept in 4096 ordered search trees, one per first byte and 4-bit hash of the
// next two. The string at a window position is the 60 bytes that start there; within a
// tree, strings are ordered byte-wise and equal strings are not both kept. A new string
// walks down from its root and becomes a leaf; a string that leaves the window gives its
// place to its in-order predecessor. Which of several equally long matches is chosen
// depends on the shape of these trees, so the shape must always be exactly the one these
// rules give: the output depends on it.
//
// Each step down compares the new string with a node's string, and only the length of
// their common prefix and their order count. These are computed afresh at every step,
// a word at a time, rather than derived from prefix lengths cached in the tree: the cache
// would give the same values, but keeping it exact through every deletion costs more
// than the comparisons it saves.
class TLzhMatchFinder {
public:
  // Empty trees, and the whole window, mirror included, filled with spaces.
  TLzhMatchFinder();

  // Takes the first 1..60 bytes of the input into the window after the space fill, and
  // inserts the 60 strings that start in the fill, then the first string of the input.
  void Start(const uint8_t* bytes, int count);
  // Moves on by count bytes of new input. For each, the oldest string leaves the window,
  // the byte becomes the last of the next string, and that string is inserted.
  void Slide(const uint8_t* bytes, int count);
  // Moves on by one position after the input has ended: the oldest string leaves, and the
  // next one is inserted if it still starts within the input (insert true).
  void SlideEmpty(bool insert);

  // The first byte of the current string, the one inserted last.
  uint8_t Current() const { return Window[newest_]; }
  // The best match for the current string: the longest common prefix among the nodes its
  // insertion visited, the nearest among equally long ones; 0 when no node shares more
  // than two bytes.
  int MatchLength = 0;
  int MatchPosition = 0;  // the distance code: (r - p) mod 4096 - 1

private:
  static constexpr int kNoNode = kRingSize;         // no node here
  static constexpr int kFirstRoot = kRingSize + 1;  // roots are 4097..8192
  static constexpr int kRootCount = 4096;
  // Where the links written on behalf of an absent node go: kNoNode's own links must stay
  // absent.
  static constexpr int kSink = kFirstRoot + kRootCount;
  // The ring is followed by a copy of its first 59 bytes, so that a string of 60 bytes
  // starting anywhere in the ring compares without wrapping.
  static constexpr int kMirrorSize = kMaxMatch - 1;
  // Room after the mirror for a word read that starts at a string's last byte.
  static constexpr int kComparePadding = 8;

  static constexpr int kRight = 0;
  static constexpr int kLeft = 1;

  static int RootOf(const uint8_t* s) {
    const int x = s[1] ^ s[2];
    return s[0] + 256 * ((x ^ (x >> 4)) & 0x0F);
  }
  void ReplaceChild(int parent, int oldChild, int newChild);

  void Store(int p, uint8_t c) {
    Window[p] = c;
    if (p < kMirrorSize) Window[p + kRingSize] = c;
  }
  // An insertion under way: the new string at R, and how far its walk has got.
  struct TWalk {
    TBytes16 Key;  // its bytes 1..16
    size_t R;
    size_t P;       // the node to compare next; where the walk ended, once over
    unsigned Best;  // the best match so far, with kMatch
    bool Same;      // P holds the same 60 bytes as the new string
  };

  // Inserts the string at r; with kMatch, the best match of the nodes visited is kept.
  template <bool kMatch>
  void InsertString(int r, int root);
  template <bool kMatch>
  void InsertString(int r) {
    InsertString<kMatch>(r, RootOf(&Window[r]));
  }
  template <bool kMatch>
  void InsertPair(int first, int firstRoot, int second, int secondRoot);
  bool BeginWalk(TWalk& walk, int r, int root);
  template <bool kMatch>
  bool StepWalk(TWalk& walk);
  template <bool kMatch>
  void EndWalk(const TWalk& walk);
  static void Consider(TWalk& walk, int shared);
  void DeleteString(int p);

  // The children of the nodes, then of the roots, whose right link is the top of their
  // tree; kNoNode where there is none. Then the sink.
  uint16_t Links[kSink + 1][2];
  // A node's parent, a node or a root; kNoNode when the position is in no tree. Entry
  // kNoNode absorbs the writes made on behalf of an absent node.
  uint16_t Parent[kRingSize + 1];
  uint8_t Window[kRingSize + kMirrorSize + kComparePadding];
  int oldest_ = 0;                    // the string to leave the window next
  int newest_ = kFirstWritePosition;  // the current string
};
