#include "compress/compressor/LzhMatchFinder.h"

#include <algorithm>
#include <cstring>

#include "compress/compressor/LzhMatchBytes.h"

namespace {

// a if c, else b; in arithmetic, because a compiler would often turn the plain choice
// into a branch, and these choices come as good as at random.
inline int Select(bool c, int a, int b) {
  return b ^ ((a ^ b) & -static_cast<int>(c));
}

}  // namespace

TLzhMatchFinder::TLzhMatchFinder(unsigned ownedHashes) : ownedHashes_(ownedHashes) {
  for (auto& links : Links) links[kRight] = links[kLeft] = kNoNode;  // the roots' too
  std::fill(std::begin(Parent), std::end(Parent), kNoNode);
  // Positions that no input byte has reached yet hold spaces, mirror included, like the
  // rest of the initial window.
  std::memset(Window, kWindowFill, sizeof Window);
}

// A root's top node is its right link, and its left link is never a node, so the same
// test serves nodes and roots.
void TLzhMatchFinder::ReplaceChild(int parent, int oldChild, int newChild) {
  uint16_t* const links = Links[parent];
  links[links[kRight] == oldChild ? kRight : kLeft] = static_cast<uint16_t>(newChild);
}

// A string that leaves the window gives its place to its only child, if it has one child;
// with two, to its in-order predecessor. The cases come as good as at random, so all
// those in which the predecessor is the left child itself, or there is none, share one
// sequence of moves without a branch: the moves that do not apply go to the sink. Only
// a predecessor further down, about one deletion in five, takes a branch. A position in
// no tree goes through the same moves, all of them to the sink and the scratch entries:
// its links are kept absent, and for a finder that owns part of the trees, whether a
// leaving string is in one of them is as good as random too.
inline void TLzhMatchFinder::DeleteString(int p) {
  const int parent = Parent[p];
  const int left = Links[p][kLeft];
  const int right = Links[p][kRight];
  const int leftRight = Links[left][kRight];  // kNoNode's own links stay absent
  int q;
  // kNoNode is the one value with its bit set: nodes are below it.
  static_assert((kNoNode & (kNoNode - 1)) == 0, "kNoNode is a power of two");
  if (((left | right | leftRight) & kNoNode) == 0) [[unlikely]] {
    // The predecessor is the rightmost node below the left child: it leaves its place
    // to its own left child and takes p's place, with both of p's children.
    q = leftRight;
    while (Links[q][kRight] != kNoNode) q = Links[q][kRight];
    const int above = Parent[q];
    const int below = Links[q][kLeft];
    Links[above][kRight] = static_cast<uint16_t>(below);
    Parent[below] = static_cast<uint16_t>(above);
    Links[q][kLeft] = static_cast<uint16_t>(left);
    Parent[left] = static_cast<uint16_t>(q);
    Links[q][kRight] = static_cast<uint16_t>(right);
    Parent[right] = static_cast<uint16_t>(q);
  } else {
    // The left child, if any, takes p's place and keeps its right child, or, lacking one,
    // adopts p's: whichever of the two is a node, the smaller, since kNoNode is above
    // every node. Otherwise the right child takes p's place, or no node at all; the
    // parent written for it here is then overwritten below.
    const bool hasLeft = left != kNoNode;
    q = Select(hasLeft, left, right);
    const int keptRight = std::min(right, leftRight);
    Links[Select(hasLeft, left, kSink)][kRight] = static_cast<uint16_t>(keptRight);
    Parent[right] = static_cast<uint16_t>(q);
  }
  Parent[q] = static_cast<uint16_t>(parent);
  ReplaceChild(parent, p, q);
  Parent[p] = kNoNode;
  Links[p][kRight] = Links[p][kLeft] = kNoNode;
}

void TLzhMatchFinder::Start(const uint8_t* bytes, int count) {
  for (int k = 0; k < count; ++k) Store(newest_ + k, bytes[k]);
  for (int k = 1; k <= kMaxMatch; ++k) {
    const int r = newest_ - k;
    InsertString<false>(r, RootOf(&Window[r]), 0);
  }
  InsertString<true>(newest_, RootOf(&Window[newest_]), newestIndex_);
}

void TLzhMatchFinder::Slide(const uint8_t* bytes, int count) {
  // Two positions at a time where possible: the two insertions then walk down their
  // trees side by side, each step of one overlapping the other's wait for its loads.
  // This leaves the trees as one position after the other would only when both
  // insertions and the deletion between them all work in different trees.
  int k = 0;
  for (; k + 1 < count; k += 2) {
    const int first = (newest_ + 1) & kRingMask;
    const int second = (newest_ + 2) & kRingMask;
    const int nextOldest = (oldest_ + 1) & kRingMask;
    const int firstRoot = RootOf(&Window[first]);
    const int secondRoot = RootOf(&Window[second]);
    const bool apart = Owns(firstRoot) && Owns(secondRoot) && firstRoot != secondRoot &&
                       firstRoot != RootOf(&Window[nextOldest]);
    DeleteString(oldest_);
    Store(oldest_, bytes[k]);
    if (apart) {
      DeleteString(nextOldest);
      Store(nextOldest, bytes[k + 1]);
      InsertPair(first, firstRoot, second, secondRoot, newestIndex_ + 1);
    } else {
      InsertString<true>(first, firstRoot, newestIndex_ + 1);
      DeleteString(nextOldest);
      Store(nextOldest, bytes[k + 1]);
      InsertString<true>(second, secondRoot, newestIndex_ + 2);
    }
    oldest_ = (nextOldest + 1) & kRingMask;
    newest_ = second;
    newestIndex_ += 2;
  }
  if (k < count) {
    DeleteString(oldest_);
    Store(oldest_, bytes[k]);
    MoveOn();
  }
}

void TLzhMatchFinder::SlideEmpty() {
  DeleteString(oldest_);
  MoveOn();
}

// The oldest string has left: the window moves on by one, and the next string goes in.
inline void TLzhMatchFinder::MoveOn() {
  oldest_ = (oldest_ + 1) & kRingMask;
  newest_ = (newest_ + 1) & kRingMask;
  ++newestIndex_;
  InsertString<true>(newest_, RootOf(&Window[newest_]), newestIndex_);
}

// Both windows hold the same bytes, and a string in a tree still has its first three in
// the window: they tell its tree.
void TLzhMatchFinder::HandOver(unsigned hashes, TLzhMatchFinder& to) {
  for (int p = 0; p < kRingSize; ++p) {
    if (Parent[p] == kNoNode || ((hashes >> (RootOf(&Window[p]) >> 8)) & 1) == 0) continue;
    to.Links[p][kRight] = Links[p][kRight];
    to.Links[p][kLeft] = Links[p][kLeft];
    to.Parent[p] = Parent[p];
    Links[p][kRight] = Links[p][kLeft] = kNoNode;
    Parent[p] = kNoNode;
  }
  for (int root = 0; root < kRootCount; ++root) {
    if (((hashes >> (root >> 8)) & 1) == 0) continue;
    to.Links[kFirstRoot + root][kRight] = Links[kFirstRoot + root][kRight];
    Links[kFirstRoot + root][kRight] = kNoNode;
  }
  ownedHashes_ &= ~hashes;
  to.ownedHashes_ |= hashes;
}

template <bool kMatch>
void TLzhMatchFinder::InsertString(int r, int root, size_t index) {
  if (!Owns(root)) {
    if (kMatch) records_[index & recordMask_] = 0;
    return;
  }
  TWalk walk;
  if (BeginWalk(walk, r, root, index)) {
    while (StepWalk<kMatch>(walk)) {
    }
  }
  EndWalk<kMatch>(walk);
}

void TLzhMatchFinder::InsertPair(int first, int firstRoot, int second, int secondRoot,
                                 size_t index) {
  TWalk one;
  TWalk two;
  bool goOne = BeginWalk(one, first, firstRoot, index);
  bool goTwo = BeginWalk(two, second, secondRoot, index + 1);
  while (goOne && goTwo) {
    goOne = StepWalk<true>(one);
    goTwo = StepWalk<true>(two);
  }
  while (goOne) goOne = StepWalk<true>(one);
  while (goTwo) goTwo = StepWalk<true>(two);
  EndWalk<true>(one);
  EndWalk<true>(two);
}

// Starts the walk of the string at r at the top of its tree, the given root. A string
// whose tree is empty becomes its top node at once, and there is no walk.
inline bool TLzhMatchFinder::BeginWalk(TWalk& walk, int r, int rootIndex, size_t index) {
  const int root = kFirstRoot + rootIndex;
  // All strings of a tree share their first byte. Bytes 1..16 settle the order of two of
  // them nearly always, in one wide comparison whose operands are read straight from the
  // node's position: no step waits for the outcome of the previous one except to know
  // which node comes next.
  walk.Key = Bytes16(&Window[r + 1]);
  walk.R = r;
  walk.Index = index;
  walk.P = Links[root][kRight];
  walk.Best = 0;
  walk.Same = false;
  Links[r][kRight] = Links[r][kLeft] = kNoNode;
  if (walk.P != kNoNode) return true;
  Links[root][kRight] = static_cast<uint16_t>(r);
  Parent[r] = static_cast<uint16_t>(root);
  return false;
}

// Compares the new string with node P and goes down to the child on its side; returns
// false once the walk is over. Where there is no such child, the new string becomes it;
// where P holds the same 60 bytes, the walk stops there.
template <bool kMatch>
inline bool TLzhMatchFinder::StepWalk(TWalk& walk) {
  const size_t r = walk.R;
  const size_t p = walk.P;
  const TBytes16 theirs = Bytes16(&Window[p + 1]);
  bool less;
  if (walk.Key != theirs) [[likely]] {
    less = walk.Key < theirs;
    if (kMatch) Consider(walk, 1 + SharedBytes(walk.Key, theirs));
  } else {
    const int shared = CommonPrefix(&Window[r], &Window[p], 17, less);
    if (kMatch) Consider(walk, shared);
    if (shared >= kMaxMatch) {
      walk.Same = true;
      return false;
    }
  }
  // The order of the two strings is as good as random: the child is picked by indexing
  // rather than by a branch that would be mispredicted half the time.
  uint16_t& link = Links[p][less];
  const size_t next = link;
  if (next == kNoNode) {
    link = static_cast<uint16_t>(r);
    Parent[r] = static_cast<uint16_t>(p);
    return false;
  }
  walk.P = next;
  return true;
}

// Node P shares the given number of leading bytes with the new string. The best match is
// kept as (length, 4095 - distance code), and 4095 - distance code is (P - R) mod 4096:
// the larger, the better.
inline void TLzhMatchFinder::Consider(TWalk& walk, int shared) {
  const unsigned candidate = static_cast<unsigned>(shared) << 12 | ((walk.P - walk.R) & kRingMask);
  walk.Best = std::max(walk.Best, candidate);
}

// Records the match, with kMatch; and where the walk ended at a node holding the same 60
// bytes, the new string takes that node's place and the older string leaves the tree.
template <bool kMatch>
inline void TLzhMatchFinder::EndWalk(const TWalk& walk) {
  if (kMatch) records_[walk.Index & recordMask_] = walk.Best;
  if (!walk.Same) return;
  // Ring positions, below kRingSize; the walk holds them as size_t for its indexing.
  const int r = static_cast<int>(walk.R);
  const int p = static_cast<int>(walk.P);
  Links[r][kLeft] = Links[p][kLeft];
  Links[r][kRight] = Links[p][kRight];
  Parent[r] = Parent[p];
  Parent[Links[p][kLeft]] = static_cast<uint16_t>(r);
  Parent[Links[p][kRight]] = static_cast<uint16_t>(r);
  ReplaceChild(Parent[p], p, r);
  Parent[p] = kNoNode;
  Links[p][kRight] = Links[p][kLeft] = kNoNode;
}
