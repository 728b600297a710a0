// The string search of LZH compression: the window and its 4096 ordered search trees.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compress/LzhModel.h"
#include "compress/compressor/LzhMatchBytes.h"

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
  // The trees are split between finders by the hash of their strings' second and third
  // bytes: a finder walks only the trees whose hash has its bit in ownedHashes, and
  // passes over every other string. Finders that own disjoint hashes and see the same
  // input can run side by side; together they make the same trees as one finder that
  // owns them all.
  static constexpr unsigned kEveryHash = 0xFFFF;
  explicit TLzhMatchFinder(unsigned ownedHashes = kEveryHash);

  // Where the matches go: the match of the string that starts at input byte i is
  // records[i & mask] (see TLzhMatch), 0 for the strings of trees this finder does not
  // own. mask + 1 is a power of two.
  void RecordMatchesIn(uint32_t* records, size_t mask) {
    records_ = records;
    recordMask_ = mask;
  }

  // Takes the first 1..60 bytes of the input into the window after the space fill, and
  // inserts the 60 strings that start in the fill, then the first string of the input.
  void Start(const uint8_t* bytes, int count);
  // Moves on by count bytes of new input. For each, the oldest string leaves the window,
  // the byte becomes the last of the next string, and that string is inserted.
  void Slide(const uint8_t* bytes, int count);
  // Moves on by one position after the input has ended: the oldest string leaves, and
  // the next one, which must still start within the input, is inserted.
  void SlideEmpty();

  unsigned OwnedHashes() const { return ownedHashes_; }
  // Gives the trees of the given owned hashes, with all their strings, to a finder that
  // has seen the same input up to the same position.
  void HandOver(unsigned hashes, TLzhMatchFinder& to);

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

  bool Owns(int root) const { return (ownedHashes_ >> (root >> 8)) & 1; }
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
    size_t Index;   // the string's place in the input
    size_t P;       // the node to compare next; where the walk ended, once over
    unsigned Best;  // the best match so far, with kMatch
    bool Same;      // P holds the same 60 bytes as the new string
  };

  // Inserts the string at r, the index-th of the input, if its tree is owned, and records
  // its match. Strings of the space fill have no index: with kMatch false nothing is kept.
  template <bool kMatch>
  void InsertString(int r, int root, size_t index);
  // The same for two strings at once, of owned trees that neither the other insertion nor
  // a deletion between them touches.
  void InsertPair(int first, int firstRoot, int second, int secondRoot, size_t index);
  bool BeginWalk(TWalk& walk, int r, int root, size_t index);
  template <bool kMatch>
  bool StepWalk(TWalk& walk);
  template <bool kMatch>
  void EndWalk(const TWalk& walk);
  static void Consider(TWalk& walk, int shared);
  void MoveOn();
  void DeleteString(int p);

  // The children of the nodes, then of the roots, whose right link is the top of their
  // tree; kNoNode where there is none, and for a position in no tree. Then the sink.
  uint16_t Links[kSink + 1][2];
  // A node's parent, a node or a root; kNoNode when the position is in no tree. Entry
  // kNoNode absorbs the writes made on behalf of an absent node.
  uint16_t Parent[kRingSize + 1];
  uint8_t Window[kRingSize + kMirrorSize + kComparePadding];
  int oldest_ = 0;                    // the string to leave the window next
  int newest_ = kFirstWritePosition;  // the string inserted last
  size_t newestIndex_ = 0;            // its place in the input
  unsigned ownedHashes_;
  uint32_t* records_ = nullptr;
  size_t recordMask_ = 0;
};

// A recorded match: the longest common prefix among the nodes the string's insertion
// visited, the nearest among equally long ones. Recorded as length << 12 | (4095 -
// distance code); 0 stands for no node sharing more than two bytes.
struct TLzhMatch {
  int Length = 0;    // 0, or 3..60
  int Position = 0;  // the distance code: (r - p) mod 4096 - 1

  static TLzhMatch FromRecord(uint32_t record) {
    TLzhMatch match;
    const int length = static_cast<int>(record >> 12);
    if (length > kMatchThreshold) {
      match.Length = length;
      match.Position = kRingMask - static_cast<int>(record & kRingMask);
    }
    return match;
  }
};
